#include "transport/raw_document.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "transport/send_interrupt.h"

namespace pagewire::transport {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
// The longest libcups wait before an interrupt is looked at.
constexpr int kInterruptLook = 250;

}  // namespace

int UnacknowledgedBytes(int fd) {
  int queued = 0;
  return ioctl(fd, SIOCOUTQ, &queued) == 0 ? queued : 0;
}

double CupsWaitSeconds(const StallWatch& watch) {
  const int wait = watch.WaitMillis();
  return (wait > 0 ? std::min(wait, kInterruptLook) : kInterruptLook) / 1000.0;
}

void ResetConnection(int fd) {
  const linger abortive{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  // Disconnecting sends the reset now; the descriptor stays for its owner.
  sockaddr none{};
  none.sa_family = AF_UNSPEC;
  connect(fd, &none, sizeof none);
}

RawDocument::RawDocument(std::unique_ptr<RawStream> stream, std::string name,
                         DestinationOptions options)
    : stream_(std::move(stream)),
      name_(std::move(name)),
      options_(std::move(options)),
      buffer_(kBufferSize) {}

// The document's failure has been told by then: a cancel that fails is
// told on its own.
RawDocument::~RawDocument() {
  if (!stream_) return;
  std::string cause;
  if (!stream_->Cancel(cause)) Tell(options_, name_, cause);
}

bool RawDocument::Fail(const std::string& cause) {
  failure_ = PrinterFailure(cause, SendInterruptSignal() != 0);
  return false;
}

bool RawDocument::Send(const unsigned char* data, std::size_t length) {
  std::string cause;
  return stream_->Send(data, length, cause) || Fail(cause);
}

bool RawDocument::Flush() {
  const std::size_t length = std::exchange(buffered_, 0);
  return length == 0 || Send(buffer_.data(), length);
}

bool RawDocument::Write(const void* data, std::size_t length) {
  if (!stream_) return Fail("The document has ended.");
  if (data == nullptr && length > 0) return Fail("No data.");
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    // A large piece goes out as it is.
    if (buffered_ == 0 && length >= kBufferSize) return Send(bytes, length);
    const std::size_t taken = std::min(length, kBufferSize - buffered_);
    std::memcpy(buffer_.data() + buffered_, bytes, taken);
    buffered_ += taken;
    bytes += taken;
    length -= taken;
    if (buffered_ == kBufferSize && !Flush()) return false;
  }
  return true;
}

// A stream whose last bytes could not go out is cancelled as it goes; one
// that failed to finish has ended itself.
bool RawDocument::Commit() {
  if (!stream_) return Fail("The document has ended.");
  if (!Flush()) return false;
  std::string cause;
  std::unique_ptr<RawStream> stream = std::move(stream_);
  if (!stream->Finish(cause)) return Fail(cause);
  committed_ = std::move(stream);
  return true;
}

std::string RawDocument::JobId() const { return committed_ ? committed_->JobId() : ""; }

bool RawDocument::AwaitEnd(std::optional<PrinterEnd>& end) {
  end.reset();
  if (!committed_) return true;
  std::string cause;
  std::optional<PrinterEnd> awaited = committed_->AwaitEnd(cause);
  // An interrupt while waiting ends the job, as one while sending does.
  if (SendInterruptSignal() != 0) return Fail(SendInterruptCause());
  end = std::move(awaited);
  return cause.empty() || Fail(cause);
}

}  // namespace pagewire::transport
