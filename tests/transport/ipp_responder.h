// A loopback IPP server for the tests: each request is answered by a
// script, one thread per connection, and recorded with its document.
#pragma once

#include <cups/cups.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <deque>
#include <vector>

namespace pagewire::transport {

struct IppRequest {
  ipp_op_t op = IPP_OP_CUPS_NONE;
  ipp_t* ipp = nullptr;   // the request's attributes, owned by the responder
  std::string document;   // what followed them

  // A string or keyword attribute's first value; "" when absent.
  std::string Text(const char* name) const {
    const char* value = ippGetString(ippFindAttribute(ipp, name, IPP_TAG_ZERO), 0, nullptr);
    return value != nullptr ? value : "";
  }
  bool Has(const char* name) const { return ippFindAttribute(ipp, name, IPP_TAG_ZERO) != nullptr; }
};

class IppResponder {
 public:
  // Answers a request: fills `response`, made by ippNewResponse, and gives
  // its status.
  using Script = std::function<ipp_status_t(const IppRequest& request, ipp_t* response)>;

  explicit IppResponder(Script script) : script_(std::move(script)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    listen(listener_, 8);
    accepting_ = std::thread([this] { Accept(); });
  }
  ~IppResponder() {
    stop_ = true;
    accepting_.join();
    for (std::thread& each : connections_) each.join();
    close(listener_);
    for (IppRequest& request : requests_) ippDelete(request.ipp);
  }

  // How long a Print-Job's document waits before it is read: a printer
  // that takes no data for a while.
  std::atomic<int> pauseMillis{0};

  int Port() const { return port_; }
  std::string Uri(const std::string& path = "/ipp/print") const {
    return "ipp://127.0.0.1:" + std::to_string(port_) + path;
  }
  // The requests answered so far, of the operation `op`.
  std::vector<const IppRequest*> Requests(ipp_op_t op) {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<const IppRequest*> found;
    for (const IppRequest& request : requests_) {
      if (request.op == op) found.push_back(&request);
    }
    return found;
  }

 private:
  void Accept() {
    while (!stop_) {
      pollfd wait{listener_, POLLIN, 0};
      if (poll(&wait, 1, 50) != 1) continue;
      http_t* http = httpAcceptConnection(listener_, 1);
      if (http != nullptr) connections_.emplace_back([this, http] { Serve(http); });
    }
  }

  void Serve(http_t* http) {
    char resource[1024];
    while (!stop_) {
      if (!httpWait(http, 100)) continue;
      if (httpReadRequest(http, resource, sizeof resource) != HTTP_STATE_POST) break;
      http_status_t status;
      while ((status = httpUpdate(http)) == HTTP_STATUS_CONTINUE) {
      }
      if (status != HTTP_STATUS_OK) break;
      if (httpGetExpect(http) == HTTP_STATUS_CONTINUE) httpWriteResponse(http, HTTP_STATUS_CONTINUE);
      IppRequest request;
      request.ipp = ippNew();
      ipp_state_t state;
      while ((state = ippRead(http, request.ipp)) != IPP_STATE_DATA && state != IPP_STATE_ERROR) {
      }
      if (state == IPP_STATE_ERROR) {
        ippDelete(request.ipp);
        break;
      }
      request.op = ippGetOperation(request.ipp);
      const bool document = request.op == IPP_OP_PRINT_JOB || request.op == IPP_OP_SEND_DOCUMENT;
      for (int waited = 0; document && waited < pauseMillis && !stop_; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      char piece[65536];
      for (ssize_t got; (got = httpRead2(http, piece, sizeof piece)) > 0;) {
        request.document.append(piece, static_cast<std::size_t>(got));
      }
      ipp_t* response = ippNewResponse(request.ipp);
      ippSetStatusCode(response, script_(request, response));
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
      }
      httpClearFields(http);
      httpSetField(http, HTTP_FIELD_CONTENT_TYPE, "application/ipp");
      httpSetLength(http, ippLength(response));
      httpWriteResponse(http, HTTP_STATUS_OK);
      while ((state = ippWrite(http, response)) != IPP_STATE_DATA && state != IPP_STATE_ERROR) {
      }
      ippDelete(response);
    }
    httpClose(http);
  }

  Script script_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread accepting_;
  std::vector<std::thread> connections_;
  std::mutex mutex_;
  std::deque<IppRequest> requests_;  // stays in place as it grows
};

}  // namespace pagewire::transport
