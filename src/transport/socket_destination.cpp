#include "transport/socket_destination.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "transport/job_names.h"
#include "transport/pjl_job_status.h"
#include "transport/send_interrupt.h"
#include "settings/setting_text.h"

namespace pagewire::transport {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kSocketScheme = "socket://";
constexpr const char* kDefaultSocketPort = "9100";
// Bounds connecting to a printer.
constexpr std::chrono::milliseconds kConnectTimeout{30000};
// After the last byte is acknowledged, how long to wait for the printer to
// close its side.
constexpr std::chrono::milliseconds kCloseWait{5000};
// How often the wait for the printer's close looks at the send queue, in
// milliseconds.
constexpr int kCloseLook = 200;

std::string ErrnoText(int error) { return std::strerror(error); }

bool IsHostNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_';
}

bool IsIpv6Address(const std::string& text) {
  addrinfo hints{};
  hints.ai_family = AF_INET6;
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(text.c_str(), nullptr, &hints, &found) != 0) return false;
  freeaddrinfo(found);
  return true;
}

// What follows the host: nothing, or ":PORT" with PORT 1 to 65535.
std::optional<std::string> ParsePort(std::string_view rest, std::string& cause) {
  if (rest.empty()) return kDefaultSocketPort;
  if (rest[0] != ':') {
    cause = "Unexpected \"" + std::string(rest) + "\" after the address.";
    return std::nullopt;
  }
  const std::string_view digits = rest.substr(1);
  constexpr std::size_t kMaxDigits = 5;
  constexpr std::int64_t kMaxPort = 65535;
  const auto port = settings::ParseDecimal(digits, kMaxPort, kMaxDigits);
  if (!port || *port < 1) {
    cause = "Bad port \"" + std::string(digits) + "\": it must be 1 to 65535.";
    return std::nullopt;
  }
  return std::to_string(*port);
}

// 0 when connected, else the errno value.
int ConnectWithin(int fd, const addrinfo& address, std::chrono::milliseconds timeout) {
  if (connect(fd, address.ai_addr, address.ai_addrlen) == 0) return 0;
  // An interrupted connect goes on in the background, as a non-blocking one.
  if (errno != EINPROGRESS && errno != EINTR) return errno;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return ETIMEDOUT;
    if (SendInterruptSignal() != 0) return EINTR;
    pollfd wait{fd, POLLOUT, 0};
    const int ready = PollUnlessInterrupted(wait, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return errno;
    if (ready == 0) return ETIMEDOUT;
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
  }
}

// A raw TCP connection to the printer's port. Writes wait for as long as
// the printer takes no data, as they would behind a Windows port monitor: a
// printer out of paper is not a failure. The stall watch tells of a long
// wait, and ends it when asked; a printer that is gone ends it when TCP
// gives up. An interrupt ends a wait as the stall's timeout does.
class SocketStream final : public RawStream {
 public:
  SocketStream(int fd, StallWatch watch) : fd_(fd), watch_(std::move(watch)) {}
  // A job whose end was asked for but not waited for has all its bytes:
  // it is closed, not reset.
  ~SocketStream() override {
    std::string ignored;
    if (fd_ >= 0 && finished_) Close(ignored);
    if (fd_ >= 0) Reset();
  }
  SocketStream(const SocketStream&) = delete;
  SocketStream& operator=(const SocketStream&) = delete;

  static std::unique_ptr<SocketStream> Connect(const SocketAddress& address, StallWatch watch,
                                               std::string& cause) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int looked = getaddrinfo(address.host.c_str(), address.port.c_str(), &hints, &found);
    if (looked != 0) {
      cause = looked == EAI_SYSTEM ? ErrnoText(errno) : gai_strerror(looked);
      return nullptr;
    }
    int error = EHOSTUNREACH;
    int fd = -1;
    for (const addrinfo* each = found; each != nullptr && fd < 0; each = each->ai_next) {
      fd = socket(each->ai_family, each->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                  each->ai_protocol);
      if (fd < 0) {
        error = errno;
        continue;
      }
      error = ConnectWithin(fd, *each, kConnectTimeout);
      if (error != 0) {
        close(fd);
        fd = -1;
      }
    }
    freeaddrinfo(found);
    if (fd < 0) {
      cause = ErrnoText(error);
      return nullptr;
    }
    return std::make_unique<SocketStream>(fd, std::move(watch));
  }

  // The socket stays non-blocking: a full send queue is waited for by poll,
  // so that a stall can be seen.
  bool Send(const unsigned char* data, std::size_t length, std::string& cause) override {
    while (length > 0) {
      if (Interrupted(cause)) return false;
      const ssize_t sent = send(fd_, data, length, MSG_NOSIGNAL);
      if (sent > 0) {
        watch_.Moved();
        data += sent;
        length -= static_cast<std::size_t>(sent);
        continue;
      }
      if (sent < 0 && errno == EINTR) continue;
      if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        cause = ErrnoText(errno);
        return false;
      }
      pollfd wait{fd_, POLLOUT, 0};
      const int ready = PollUnlessInterrupted(wait, watch_.WaitMillis());
      if (ready < 0 && errno != EINTR) {
        cause = ErrnoText(errno);
        return false;
      }
      if (ready <= 0 && !StillWaiting(cause)) return false;
    }
    return true;
  }

  // Asks the printer to tell when the job `name` has ended: the job's bytes
  // go between the PJL job commands, and AwaitEnd reads the printer's
  // replies for up to `limit`.
  bool AskForJobEnd(const std::string& name, std::chrono::seconds limit, std::string& cause) {
    const std::string opening = PjlJobOpening(name);
    if (!Send(reinterpret_cast<const unsigned char*>(opening.data()), opening.size(), cause)) {
      return false;
    }
    jobStatus_.emplace(name);
    jobLimit_ = limit;
    return true;
  }

  // With a job end asked for, the connection stays open for the replies.
  bool Finish(std::string& cause) override {
    if (!jobStatus_) return Close(cause);
    const std::string closing = PjlJobClosing(jobStatus_->Name());
    if (!Send(reinterpret_cast<const unsigned char*>(closing.data()), closing.size(), cause)) {
      Reset();
      return false;
    }
    finished_ = true;
    return true;
  }

  std::optional<PrinterEnd> AwaitEnd(std::string& cause) override {
    if (!jobStatus_ || fd_ < 0) return std::nullopt;
    const PrinterEnd end = ReadJobStatus();
    if (Interrupted(cause)) {
      Reset();
      return PrinterEnd{false, cause};
    }
    Close(cause);
    return end;
  }

  // A reset drops what is still queued here; what the printer has already
  // read cannot be recalled.
  bool Cancel(std::string&) override {
    Reset();
    return true;
  }

 private:
  static bool Interrupted(std::string& cause) {
    if (SendInterruptSignal() == 0) return false;
    cause = SendInterruptCause();
    return true;
  }

  // After a wait in which nothing could be sent: data the printer has
  // acknowledged meanwhile is progress too.
  bool StillWaiting(std::string& cause) {
    if (Interrupted(cause)) return false;
    const int unacknowledged = UnacknowledgedBytes(fd_);
    if (unacknowledged != lastUnacknowledged_) {
      lastUnacknowledged_ = unacknowledged;
      watch_.Moved();
      return true;
    }
    return watch_.KeepWaiting(cause);
  }

  // Ends the connection once the printer has read it all; reset when that
  // fails.
  bool Close(std::string& cause) {
    finished_ = false;
    bool closed = shutdown(fd_, SHUT_WR) == 0;
    if (!closed) cause = ErrnoText(errno);
    if (closed) closed = AwaitClose(cause);
    if (!closed) {
      Reset();
      return false;
    }
    close(fd_);
    fd_ = -1;
    return true;
  }

  void Reset() {
    ResetConnection(fd_);
    close(fd_);
    fd_ = -1;
  }

  // Reads and drops what the printer says until it closes its side: closing
  // with its input unread would reset the connection and could cut the end
  // of the job. Waits as long as sent data is unacknowledged, as a blocked
  // write would, then kCloseWait at most.
  bool AwaitClose(std::string& cause) {
    std::optional<Clock::time_point> deadline;
    unsigned char sink[512];
    for (;;) {
      const int unacknowledged = UnacknowledgedBytes(fd_);
      if (unacknowledged > 0) {
        deadline.reset();
        if (!StillWaiting(cause)) return false;
      } else if (Interrupted(cause)) {
        return false;
      } else if (!deadline) {
        deadline = Clock::now() + kCloseWait;
      } else if (Clock::now() >= *deadline) {
        return true;
      }
      pollfd wait{fd_, POLLIN, 0};
      const int ready = PollUnlessInterrupted(wait, kCloseLook);
      if (ready < 0 && errno != EINTR) {
        cause = ErrnoText(errno);
        return false;
      }
      if (ready <= 0) continue;
      const ssize_t got = recv(fd_, sink, sizeof sink, 0);
      if (got == 0) return true;
      if (got < 0 && errno != EINTR && errno != EAGAIN) {
        // A printer that resets once it has every byte still has the job.
        if (deadline) return true;
        cause = ErrnoText(errno);
        return false;
      }
    }
  }

  // The printer's replies until the job's end, the printer's close or the
  // limit.
  PrinterEnd ReadJobStatus() {
    const Clock::time_point deadline = Clock::now() + jobLimit_;
    char reply[512];
    for (;;) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) {
        return {false, "no end of the job after " + std::to_string(jobLimit_.count()) + " s"};
      }
      if (std::string cause; Interrupted(cause)) return {false, cause};
      pollfd wait{fd_, POLLIN, 0};
      const int ready = PollUnlessInterrupted(wait, static_cast<int>(left.count()));
      if (ready < 0 && errno != EINTR) return {false, ErrnoText(errno)};
      if (ready <= 0) continue;
      const ssize_t got = recv(fd_, reply, sizeof reply, 0);
      if (got == 0) return {false, "the printer closed the connection before the job's end"};
      if (got < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return {false, ErrnoText(errno)};
      }
      if (jobStatus_->Take(std::string_view(reply, static_cast<std::size_t>(got)))) {
        return {jobStatus_->Completed(), jobStatus_->Reason()};
      }
    }
  }

  const SendInProgress sending_;  // until the connection is closed or reset
  int fd_;
  StallWatch watch_;
  int lastUnacknowledged_ = -1;
  std::optional<PjlJobStatus> jobStatus_;  // with a wait for the job's end
  std::chrono::seconds jobLimit_{0};
  bool finished_ = false;  // all sent, the job's end not yet read
};

}  // namespace

bool IsSocketName(std::string_view name) {
  if (name.size() < kSocketScheme.size()) return false;
  for (std::size_t i = 0; i < kSocketScheme.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kSocketScheme[i]) return false;
  }
  return true;
}

std::optional<SocketAddress> ParseSocketName(std::string_view name, std::string& cause) {
  const std::string_view rest = name.substr(kSocketScheme.size());
  SocketAddress address;
  std::string_view after;
  if (!rest.empty() && rest[0] == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) {
      cause = "Missing \"]\" after the IPv6 address.";
      return std::nullopt;
    }
    address.host = rest.substr(1, close - 1);
    if (!IsIpv6Address(address.host)) {
      cause = "Bad IPv6 address \"" + address.host + "\".";
      return std::nullopt;
    }
    after = rest.substr(close + 1);
  } else {
    const std::size_t colon = std::min(rest.find(':'), rest.size());
    address.host = rest.substr(0, colon);
    after = rest.substr(colon);
    if (rest.find(':', colon + 1) != std::string_view::npos) {
      cause = "An IPv6 address goes in brackets: socket://[ADDRESS]:PORT.";
      return std::nullopt;
    }
    if (address.host.empty()) {
      cause = "No host: the name must be socket://HOST[:PORT].";
      return std::nullopt;
    }
    if (!std::all_of(address.host.begin(), address.host.end(), IsHostNameChar)) {
      cause = "Bad host \"" + address.host + "\".";
      return std::nullopt;
    }
  }
  std::optional<std::string> port = ParsePort(after, cause);
  if (!port) return std::nullopt;
  address.port = std::move(*port);
  return address;
}

SocketDestination::SocketDestination(std::string name, DestinationOptions options)
    : name_(std::move(name)), options_(std::move(options)) {}

std::unique_ptr<Document> SocketDestination::StartDocument(const DocumentStart& start) {
  const SendInProgress connecting;
  std::string cause;
  const std::optional<SocketAddress> address = ParseSocketName(name_, cause);
  std::unique_ptr<SocketStream> stream;
  if (address) stream = SocketStream::Connect(*address, StallWatchFor(name_, options_), cause);
  if (SendInterruptSignal() != 0) {
    stream.reset();
    cause = SendInterruptCause();
  }
  if (stream && options_.wait) {
    const std::string name =
        CleanName(options_.title.empty() ? start.title : options_.title, NameUse::PjlJobName);
    if (!stream->AskForJobEnd(name, *options_.wait, cause)) stream.reset();
  }
  if (!stream) {
    startFailure_ = PrinterFailure(cause, SendInterruptSignal() != 0);
    return nullptr;
  }
  return std::make_unique<RawDocument>(std::move(stream), name_, options_);
}

}  // namespace pagewire::transport
