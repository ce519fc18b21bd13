// The raw destinations' documents (a CUPS queue, a socket): writes are
// gathered before they go out.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "transport/destination_options.h"
#include "transport/stall_watch.h"

namespace pagewire::transport {

// One document's bytes on their way to a printer. Finish and Cancel end
// it; a stream that goes before is cancelled.
class RawStream {
 public:
  virtual ~RawStream() = default;
  virtual bool Send(const unsigned char* data, std::size_t length, std::string& cause) = 0;
  virtual bool Finish(std::string& cause) = 0;
  // True when nothing more of the document will print.
  virtual bool Cancel(std::string& cause) = 0;
  // After Finish: the destination's id of the job; empty for none.
  virtual std::string JobId() const { return {}; }
  // After Finish: the job's end at the printer where a wait was asked;
  // `cause` set when the stream failed after it.
  virtual std::optional<PrinterEnd> AwaitEnd(std::string& /*cause*/) { return std::nullopt; }
};

// Writes are gathered in a 256 KiB buffer that goes out when full and at
// Commit. Dropped without Commit, the buffer is dropped and the stream
// cancelled. Each failure is kept for Failure(), a failure after the job's
// end (a connection that does not close) too; only a cancel that fails is
// reported, as "NAME: cause".
class RawDocument final : public Document {
 public:
  RawDocument(std::unique_ptr<RawStream> stream, std::string name, DestinationOptions options);
  ~RawDocument() override;
  RawDocument(const RawDocument&) = delete;
  RawDocument& operator=(const RawDocument&) = delete;

  bool Write(const void* data, std::size_t length) override;
  bool Commit() override;
  SendFailure Failure() const override { return failure_; }
  std::string JobId() const override;
  bool AwaitEnd(std::optional<PrinterEnd>& end) override;

 private:
  bool Send(const unsigned char* data, std::size_t length);
  bool Flush();
  bool Fail(const std::string& cause);

  std::unique_ptr<RawStream> stream_;     // null once ended
  std::unique_ptr<RawStream> committed_;  // once Commit has finished it
  std::string name_;
  DestinationOptions options_;
  SendFailure failure_;
  std::vector<unsigned char> buffer_;
  std::size_t buffered_ = 0;
};

// The bytes sent on socket `fd` that the peer has not acknowledged; 0 when
// unknown. Acknowledged data is progress even when nothing more can be sent.
int UnacknowledgedBytes(int fd);

// How often libcups calls back while a connection waits, in seconds: at
// the watch's own pace, and often enough to notice an interrupt.
double CupsWaitSeconds(const StallWatch& watch);

// Resets the TCP connection on `fd` at once, leaving the descriptor open: a
// peer that reads a request to its end takes a reset for a failure, where a
// clean close (or a TLS close) would end the request as if it were whole.
void ResetConnection(int fd);

}  // namespace pagewire::transport
