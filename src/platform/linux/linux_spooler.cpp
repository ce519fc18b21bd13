#include "platform/linux/linux_spooler.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <string_view>

namespace pagewire::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr std::string_view kSocketScheme = "socket://";
constexpr const char* kDefaultSocketPort = "9100";
// Bounds connecting to a printer or to the CUPS server.
constexpr std::chrono::milliseconds kConnectTimeout{30000};
// After the last byte is acknowledged, how long to wait for the printer to
// close its side.
constexpr std::chrono::milliseconds kCloseWait{5000};
// How often the wait for the printer's close looks at the send queue, in
// milliseconds.
constexpr int kCloseLook = 200;
// The longest job name IPP takes, in bytes.
constexpr std::size_t kMaxJobTitle = 255;

std::string ErrnoText(int error) { return std::strerror(error); }

// socket://HOST[:PORT], HOST without brackets.
struct SocketAddress {
  std::string host;
  std::string port;
};

bool IsSocketName(std::string_view name) {
  if (name.size() < kSocketScheme.size()) return false;
  for (std::size_t i = 0; i < kSocketScheme.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kSocketScheme[i]) return false;
  }
  return true;
}

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
  unsigned long port = 0;
  bool valid = !digits.empty() && digits.size() <= 5;
  for (const char c : digits) {
    if (c < '0' || c > '9') valid = false;
    if (valid) port = port * 10 + static_cast<unsigned long>(c - '0');
  }
  if (!valid || port < 1 || port > 65535) {
    cause = "Bad port \"" + std::string(digits) + "\": it must be 1 to 65535.";
    return std::nullopt;
  }
  return std::to_string(port);
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

// One raw document on its way to a printer. Finish and Cancel end it; one
// destroyed before is cancelled.
class Document {
 public:
  virtual ~Document() = default;
  virtual bool Send(const unsigned char* data, std::size_t length, std::string& cause) = 0;
  virtual bool Finish(std::string& cause) = 0;
  // True when nothing more of the document will print.
  virtual bool Cancel(std::string& cause) = 0;
};

// 0 when connected, else the errno value.
int ConnectWithin(int fd, const addrinfo& address, std::chrono::milliseconds timeout) {
  if (connect(fd, address.ai_addr, address.ai_addrlen) == 0) return 0;
  // An interrupted connect goes on in the background, as a non-blocking one.
  if (errno != EINPROGRESS && errno != EINTR) return errno;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return ETIMEDOUT;
    pollfd wait{fd, POLLOUT, 0};
    const int ready = poll(&wait, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return errno;
    if (ready == 0) return ETIMEDOUT;
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
  }
}

// The bytes sent on `fd` that the peer has not acknowledged; 0 when unknown.
int Unacknowledged(int fd) {
  int queued = 0;
  return ioctl(fd, SIOCOUTQ, &queued) == 0 ? queued : 0;
}

// A raw TCP connection to the printer's port. Writes wait for as long as
// the printer takes no data, as they would behind a Windows port monitor: a
// printer out of paper is not a failure. The stall watch tells of a long
// wait, and ends it when asked; a printer that is gone ends it when TCP
// gives up.
class SocketDocument final : public Document {
 public:
  SocketDocument(int fd, StallWatch watch) : fd_(fd), watch_(std::move(watch)) {}
  ~SocketDocument() override {
    if (fd_ >= 0) Reset();
  }
  SocketDocument(const SocketDocument&) = delete;
  SocketDocument& operator=(const SocketDocument&) = delete;

  static std::unique_ptr<Document> Connect(const SocketAddress& address, StallWatch watch,
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
    return std::make_unique<SocketDocument>(fd, std::move(watch));
  }

  // The socket stays non-blocking: a full send queue is waited for by poll,
  // so that a stall can be seen.
  bool Send(const unsigned char* data, std::size_t length, std::string& cause) override {
    while (length > 0) {
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
      const int ready = poll(&wait, 1, watch_.WaitMillis());
      if (ready < 0 && errno != EINTR) {
        cause = ErrnoText(errno);
        return false;
      }
      if (ready <= 0 && !StillWaiting(cause)) return false;
    }
    return true;
  }

  bool Finish(std::string& cause) override {
    bool finished = shutdown(fd_, SHUT_WR) == 0;
    if (!finished) cause = ErrnoText(errno);
    if (finished) finished = AwaitClose(cause);
    if (!finished) {
      Reset();
      return false;
    }
    close(fd_);
    fd_ = -1;
    return true;
  }

  // A reset drops what is still queued here; what the printer has already
  // read cannot be recalled.
  bool Cancel(std::string&) override {
    Reset();
    return true;
  }

 private:
  // After a wait in which nothing could be sent: data the printer has
  // acknowledged meanwhile is progress too.
  bool StillWaiting(std::string& cause) {
    const int queued = Unacknowledged(fd_);
    if (queued != lastQueued_) {
      lastQueued_ = queued;
      watch_.Moved();
      return true;
    }
    return watch_.KeepWaiting(cause);
  }

  void Reset() {
    const linger abortive{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
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
      const int unacknowledged = Unacknowledged(fd_);
      if (unacknowledged > 0) {
        deadline.reset();
        if (!StillWaiting(cause)) return false;
      } else if (!deadline) {
        deadline = Clock::now() + kCloseWait;
      } else if (Clock::now() >= *deadline) {
        return true;
      }
      pollfd wait{fd_, POLLIN, 0};
      const int ready = poll(&wait, 1, kCloseLook);
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

  int fd_;
  StallWatch watch_;
  int lastQueued_ = -1;
};

// libcups writes with plain send(), so a server that goes away mid-request
// raises SIGPIPE. This blocks it on the calling thread and drops one the
// call raised.
class PipeSignalBlock {
 public:
  PipeSignalBlock() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    wasPending_ = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
  }
  ~PipeSignalBlock() {
    sigset_t pending;
    if (!wasPending_ && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
      const timespec now{};
      while (sigtimedwait(&pipe_, nullptr, &now) < 0 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  PipeSignalBlock(const PipeSignalBlock&) = delete;
  PipeSignalBlock& operator=(const PipeSignalBlock&) = delete;

 private:
  sigset_t pipe_;
  sigset_t previous_;
  bool wasPending_ = false;
};

std::string CupsServerDown() {
  std::string server = cupsServer();
  if (server.empty() || server[0] != '/') server += ":" + std::to_string(ippPort());
  return "The CUPS server at " + server + " is not running or cannot be reached.";
}

// The last CUPS call's failure; `otherwise` when it left none.
std::string CupsCause(const char* otherwise) {
  if (cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) return CupsServerDown();
  const char* text = cupsLastErrorString();
  if (cupsLastError() == IPP_STATUS_OK || text == nullptr || *text == '\0') return otherwise;
  return text;
}

// cupsGetNamedDest tells a server it cannot reach as a missing printer.
std::string MissingDestinationCause() {
  const std::string cause = CupsCause("The printer or class does not exist.");
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              5000, nullptr);
  if (http == nullptr) return CupsServerDown();
  httpClose(http);
  return cause;
}

bool IppSucceeded(ipp_status_t status) { return status < IPP_STATUS_REDIRECTION_OTHER_SITE; }

// A raw job on the CUPS server, over a connection of its own so that an
// unfinished document can be cut off by closing it.
class CupsDocument final : public Document {
 public:
  CupsDocument(http_t* http, std::string queue, int job, StallWatch watch)
      : http_(http), queue_(std::move(queue)), job_(job), watch_(std::move(watch)) {}
  ~CupsDocument() override {
    std::string ignored;
    if (http_ != nullptr) Cancel(ignored);
  }
  CupsDocument(const CupsDocument&) = delete;
  CupsDocument& operator=(const CupsDocument&) = delete;

  static std::unique_ptr<Document> Start(const std::string& queue, const std::string& title,
                                         StallWatch watch, std::string& cause) {
    const PipeSignalBlock block;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                static_cast<int>(kConnectTimeout.count()), nullptr);
    if (http == nullptr) {
      cause = CupsCause("Cannot connect to the CUPS server.");
      return nullptr;
    }
    const int job = cupsCreateJob(http, queue.c_str(), title.c_str(), 0, nullptr);
    if (job == 0) {
      cause = CupsCause("The job was not created.");
      httpClose(http);
      return nullptr;
    }
    auto document = std::make_unique<CupsDocument>(http, queue, job, std::move(watch));
    const int wait = document->watch_.WaitMillis();
    if (wait > 0) httpSetTimeout(http, wait / 1000.0, &CupsDocument::OnWait, document.get());
    // A refusal can come with a job number.
    if (!IppSucceeded(cupsLastError())) {
      cause = CupsCause("The job was not created.");
      return nullptr;
    }
    if (cupsStartDocument(http, queue.c_str(), job, title.c_str(), CUPS_FORMAT_RAW, 1) !=
        HTTP_STATUS_CONTINUE) {
      cause = CupsCause("The document was not started.");
      return nullptr;  // cancels the job
    }
    return document;
  }

  bool Send(const unsigned char* data, std::size_t length, std::string& cause) override {
    const PipeSignalBlock block;
    if (cupsWriteRequestData(http_, reinterpret_cast<const char*>(data), length) ==
        HTTP_STATUS_CONTINUE) {
      watch_.Moved();
      return true;
    }
    cause = stallCause_.empty() ? CupsCause("The data was not sent.") : stallCause_;
    return false;
  }

  bool Finish(std::string& cause) override {
    ipp_status_t status = IPP_STATUS_OK;
    {
      const PipeSignalBlock block;
      status = cupsFinishDocument(http_, queue_.c_str());
    }
    if (IppSucceeded(status)) {
      httpClose(http_);
      http_ = nullptr;
      return true;
    }
    cause = stallCause_.empty() ? CupsCause("The document was not accepted.") : stallCause_;
    std::string ignored;
    Cancel(ignored);
    return false;
  }

  // Closing the connection mid-request makes the server drop the document;
  // the job, left without one, is cancelled.
  bool Cancel(std::string& cause) override {
    httpClose(http_);
    http_ = nullptr;
    const PipeSignalBlock block;
    if (IppSucceeded(cupsCancelJob2(CUPS_HTTP_DEFAULT, queue_.c_str(), job_, 0))) return true;
    cause = CupsCause("The job was not cancelled.");
    return false;
  }

 private:
  // libcups' call after each wait in which the server took or gave nothing:
  // 1 waits on, 0 gives up.
  static int OnWait(http_t* http, void* data) {
    auto* self = static_cast<CupsDocument*>(data);
    const int queued = Unacknowledged(httpGetFd(http));
    if (queued != self->lastQueued_) {
      self->lastQueued_ = queued;
      self->watch_.Moved();
      return 1;
    }
    return self->watch_.KeepWaiting(self->stallCause_) ? 1 : 0;
  }

  http_t* http_;
  std::string queue_;
  int job_;
  StallWatch watch_;
  int lastQueued_ = -1;
  std::string stallCause_;  // why the watch gave up
};

PrinterInfo2 InfoOf(const cups_dest_t& dest) {
  PrinterInfo2 info;
  info.printerName = dest.name;
  if (dest.instance != nullptr) info.printerName += std::string("/") + dest.instance;
  const char* model = cupsGetOption("printer-make-and-model", dest.num_options, dest.options);
  const char* uri = cupsGetOption("device-uri", dest.num_options, dest.options);
  info.driverName = model != nullptr ? model : "";
  info.portName = uri != nullptr ? uri : "";
  return info;
}

}  // namespace

std::string CupsJobTitle(const std::string& docName) {
  std::string title;
  const std::size_t size = docName.size();
  std::size_t i = 0;
  while (i < size) {
    const auto lead = static_cast<unsigned char>(docName[i]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07u;
    }
    bool valid = length > 0 && i + length <= size;
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(docName[i + k]);
      valid = (next & 0xC0u) == 0x80u;
      code = (code << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (valid && length > 1) {
      valid = code >= kLeast[length] && (code < 0xD800 || code > 0xDFFF) && code <= 0x10FFFF;
    }
    if (valid && code < 0x20) valid = false;  // control characters
    if (!valid) length = 1;
    if (title.size() + length > kMaxJobTitle) break;
    if (valid) {
      title.append(docName, i, length);
    } else {
      title += '?';
    }
    i += length;
  }
  return title;
}

struct LinuxSpooler::OpenPrinter {
  PrinterInfo2 info;
  std::optional<SocketAddress> socket;  // else a CUPS destination
  std::string queue;                    // the CUPS queue, without the instance
  std::unique_ptr<Document> document;
  std::vector<unsigned char> buffer;
  std::size_t buffered = 0;
  bool endFailed = false;  // the last document did not reach the printer whole
};

LinuxSpooler::LinuxSpooler(Report report, StallPolicy stalls)
    : report_(std::move(report)), stalls_(stalls) {}

LinuxSpooler::~LinuxSpooler() = default;

bool LinuxSpooler::Fail(const std::string& name, const std::string& cause, bool destination) {
  if (destination) destinationFailed_ = true;
  if (report_) report_(name.empty() ? cause : name + ": " + cause);
  return false;
}

LinuxSpooler::OpenPrinter* LinuxSpooler::Find(PrinterHandle printer, bool destination) {
  const auto found = printers_.find(printer);
  if (found != printers_.end()) return found->second.get();
  Fail("", "Printer handle " + std::to_string(printer) + " is not open.", destination);
  return nullptr;
}

bool LinuxSpooler::EnumeratePrinters(PrinterEnumScope scope, std::vector<PrinterInfo2>& printers) {
  if (scope == PrinterEnumScope::Connections) return true;
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  if (count == 0 && !IppSucceeded(cupsLastError()) &&
      cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
    return Fail("CUPS destinations", CupsCause("They could not be listed."), false);
  }
  for (int i = 0; i < count; ++i) printers.push_back(InfoOf(dests[i]));
  cupsFreeDests(count, dests);
  return true;
}

bool LinuxSpooler::OpenPrinterHandle(const std::string& printerName, PrinterHandle& printer) {
  printer = 0;
  auto open = std::make_unique<OpenPrinter>();
  if (IsSocketName(printerName)) {
    std::string cause;
    open->socket = ParseSocketName(printerName, cause);
    if (!open->socket) return Fail(printerName, cause, true);
    open->info = PrinterInfo2{printerName, "", printerName};
  } else {
    // An empty name would be the default destination.
    if (printerName.empty()) return Fail("", "No printer name.", true);
    // "queue/instance": queue names hold no '/'.
    const std::size_t slash = printerName.find('/');
    const std::string queue = printerName.substr(0, slash);
    const std::string instance = slash == std::string::npos ? "" : printerName.substr(slash + 1);
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(),
                                         instance.empty() ? nullptr : instance.c_str());
    if (dest == nullptr) {
      return Fail(printerName, MissingDestinationCause(), true);
    }
    open->queue = dest->name;
    open->info = InfoOf(*dest);
    cupsFreeDests(1, dest);
  }
  printer = nextHandle_++;
  printers_.emplace(printer, std::move(open));
  return true;
}

bool LinuxSpooler::QueryPrinterInfo2(PrinterHandle printer, PrinterInfo2& info) {
  const OpenPrinter* open = Find(printer, false);
  if (open == nullptr) return false;
  info = open->info;
  return true;
}

bool LinuxSpooler::StartRawDocument(PrinterHandle printer, const std::string& docName) {
  OpenPrinter* open = Find(printer, true);
  if (open == nullptr) return false;
  const std::string& name = open->info.printerName;
  if (open->document) return Fail(name, "A document is already started.", true);
  std::string cause;
  StallWatch watch(stalls_, [this, name](const std::string& text) {
    if (report_) report_(name + ": " + text);
  });
  std::unique_ptr<Document> document =
      open->socket ? SocketDocument::Connect(*open->socket, std::move(watch), cause)
                   : CupsDocument::Start(open->queue, CupsJobTitle(docName), std::move(watch),
                                         cause);
  if (!document) return Fail(name, cause, true);
  open->buffer.resize(kBufferSize);
  open->buffered = 0;
  open->document = std::move(document);
  return true;
}

bool LinuxSpooler::Flush(OpenPrinter& open) {
  if (open.buffered == 0) return true;
  std::string cause;
  const bool sent = open.document->Send(open.buffer.data(), open.buffered, cause);
  open.buffered = 0;
  return sent || Fail(open.info.printerName, cause, true);
}

bool LinuxSpooler::WriteRawData(PrinterHandle printer, const void* data, std::uint32_t length,
                                std::uint32_t& written) {
  written = 0;
  OpenPrinter* open = Find(printer, true);
  if (open == nullptr) return false;
  if (!open->document) return Fail(open->info.printerName, "No document is started.", true);
  if (data == nullptr && length > 0) return Fail(open->info.printerName, "No data.", true);
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t rest = length;
  while (rest > 0) {
    if (open->buffered == 0 && rest >= kBufferSize) {
      // A large piece goes out as it is.
      std::string cause;
      if (!open->document->Send(bytes, rest, cause)) {
        return Fail(open->info.printerName, cause, true);
      }
      break;
    }
    const std::size_t taken = std::min(rest, kBufferSize - open->buffered);
    std::memcpy(open->buffer.data() + open->buffered, bytes, taken);
    open->buffered += taken;
    bytes += taken;
    rest -= taken;
    if (open->buffered == kBufferSize && !Flush(*open)) return false;
  }
  written = length;
  return true;
}

bool LinuxSpooler::EndRawDocument(PrinterHandle printer) {
  OpenPrinter* open = Find(printer, true);
  if (open == nullptr) return false;
  if (!open->document) return Fail(open->info.printerName, "No document is started.", true);
  // The document is over whatever happens: one cut short is cancelled as
  // its Document goes.
  const bool flushed = Flush(*open);
  const std::unique_ptr<Document> document = std::move(open->document);
  std::string cause;
  const bool finished =
      flushed && (document->Finish(cause) || Fail(open->info.printerName, cause, true));
  open->endFailed = !finished;
  return finished;
}

bool LinuxSpooler::AbortRawDocument(PrinterHandle printer) {
  OpenPrinter* open = Find(printer, false);
  if (open == nullptr) return false;
  if (!open->document) return Fail(open->info.printerName, "No document is started.", false);
  open->buffered = 0;
  const std::unique_ptr<Document> document = std::move(open->document);
  std::string cause;
  return document->Cancel(cause) || Fail(open->info.printerName, cause, false);
}

// The command looks at Close, not at End: a document that did not end well
// fails here too, so that it is not taken as printed.
bool LinuxSpooler::ClosePrinterHandle(PrinterHandle printer) {
  OpenPrinter* open = Find(printer, false);
  if (open == nullptr) return false;
  const bool ended = !open->endFailed;
  printers_.erase(printer);
  return ended;
}

}  // namespace pagewire::platform
