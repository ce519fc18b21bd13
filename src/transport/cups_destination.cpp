#include "transport/cups_destination.h"

#include <cups/cups.h>

#include <chrono>

#include "transport/ipp_job_wait.h"
#include "transport/job_names.h"
#include "transport/pipe_signal_block.h"
#include "transport/send_interrupt.h"

namespace pagewire::transport {

namespace {

// Bounds connecting to the CUPS server.
constexpr std::chrono::milliseconds kConnectTimeout{30000};

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
// unfinished document can be cut off by resetting it. An interrupt ends it
// as the stall's timeout does, until the server has the whole document.
class CupsStream final : public RawStream {
 public:
  // The job's end, once the server has it.
  using Await = std::function<std::optional<PrinterEnd>(const std::string& queue, int job)>;

  CupsStream(http_t* http, std::string queue, int job, StallWatch watch)
      : http_(http), queue_(std::move(queue)), job_(job), watch_(std::move(watch)) {}
  ~CupsStream() override {
    std::string ignored;
    if (http_ != nullptr) Cancel(ignored);
  }
  CupsStream(const CupsStream&) = delete;
  CupsStream& operator=(const CupsStream&) = delete;

  static std::unique_ptr<RawStream> Start(const std::string& queue, const std::string& title,
                                          StallWatch watch, Await await,
                                          std::string& cause) {
    const PipeSignalBlock block;
    http_t* http =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                     static_cast<int>(kConnectTimeout.count()), SendInterruptFlag());
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
    auto stream = std::make_unique<CupsStream>(http, queue, job, std::move(watch));
    stream->await_ = std::move(await);
    httpSetTimeout(http, CupsWaitSeconds(stream->watch_), &CupsStream::OnWait, stream.get());
    // A refusal can come with a job number.
    if (!IppSucceeded(cupsLastError())) {
      cause = CupsCause("The job was not created.");
      return nullptr;
    }
    if (SendInterruptSignal() != 0 ||
        cupsStartDocument(http, queue.c_str(), job, title.c_str(), CUPS_FORMAT_RAW, 1) !=
            HTTP_STATUS_CONTINUE) {
      cause = stream->Failure("The document was not started.");
      return nullptr;  // cancels the job
    }
    return stream;
  }

  bool Send(const unsigned char* data, std::size_t length, std::string& cause) override {
    const PipeSignalBlock block;
    if (SendInterruptSignal() == 0 &&
        cupsWriteRequestData(http_, reinterpret_cast<const char*>(data), length) ==
            HTTP_STATUS_CONTINUE) {
      watch_.Moved();
      return true;
    }
    cause = Failure("The data was not sent.");
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
      // The server has the whole job: a wait for it is no send.
      sending_.reset();
      return true;
    }
    cause = Failure("The document was not accepted.");
    std::string ignored;
    Cancel(ignored);
    return false;
  }

  std::string JobId() const override { return http_ == nullptr ? JobIdOf(queue_, job_) : ""; }

  std::optional<PrinterEnd> AwaitEnd(std::string&) override {
    if (http_ != nullptr || !await_) return std::nullopt;
    return await_(queue_, job_);
  }

  // Resetting the connection mid-request makes the server drop the
  // document; the job, left without one, is cancelled.
  bool Cancel(std::string& cause) override {
    ResetConnection(httpGetFd(http_));
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
    auto* self = static_cast<CupsStream*>(data);
    if (SendInterruptSignal() != 0) return 0;
    const int unacknowledged = UnacknowledgedBytes(httpGetFd(http));
    if (unacknowledged != self->lastUnacknowledged_) {
      self->lastUnacknowledged_ = unacknowledged;
      self->watch_.Moved();
      return 1;
    }
    return self->watch_.KeepWaiting(self->stallCause_) ? 1 : 0;
  }

  // Why a call failed: an interrupt, the watch giving up, or the server's
  // reason.
  std::string Failure(const char* otherwise) const {
    return SendEndCause(stallCause_, CupsCause(otherwise));
  }

  std::optional<SendInProgress> sending_{std::in_place};  // until the server has the job
  http_t* http_;
  std::string queue_;
  int job_;
  StallWatch watch_;
  int lastUnacknowledged_ = -1;
  std::string stallCause_;  // why the watch gave up
  Await await_;
};

CupsPrinter PrinterOf(const cups_dest_t& dest) {
  CupsPrinter printer;
  printer.name = dest.name;
  if (dest.instance != nullptr) printer.name += std::string("/") + dest.instance;
  const char* model = cupsGetOption("printer-make-and-model", dest.num_options, dest.options);
  const char* uri = cupsGetOption("device-uri", dest.num_options, dest.options);
  printer.details.driver = model != nullptr ? model : "";
  printer.details.port = uri != nullptr ? uri : "";
  return printer;
}

// "queue/instance": queue names hold no '/'. An empty name would be the
// default destination.
cups_dest_t* NamedDest(const std::string& name) {
  if (name.empty()) return nullptr;
  const std::size_t slash = name.find('/');
  const std::string queue = name.substr(0, slash);
  const std::string instance = slash == std::string::npos ? "" : name.substr(slash + 1);
  return cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(),
                          instance.empty() ? nullptr : instance.c_str());
}

}  // namespace

CupsDestination::CupsDestination(std::string name, DestinationOptions options)
    : name_(std::move(name)), options_(std::move(options)) {}

std::unique_ptr<Document> CupsDestination::StartDocument(const DocumentStart& start) {
  const SendInProgress starting;
  std::string cause;
  std::unique_ptr<RawStream> stream;
  if (name_.empty()) {
    cause = "No printer name.";
  } else if (cups_dest_t* dest = NamedDest(name_); dest == nullptr) {
    cause = MissingDestinationCause();
  } else {
    const std::string queue = dest->name;
    cupsFreeDests(1, dest);
    const std::string title = CleanName(options_.title.empty() ? start.title : options_.title,
                                        NameUse::IppJobName);
    // Waited for when asked, its progress told as it goes.
    CupsStream::Await await;
    if (options_.wait) {
      await = [options = options_, name = name_, file = start.fileName](
                  const std::string& queueName, int job) -> std::optional<PrinterEnd> {
        return AwaitCupsJob(queueName, job, *options.wait, [&](const std::string& text) {
          Tell(options, name, file + ": " + text);
        });
      };
    }
    stream = CupsStream::Start(queue, title, StallWatchFor(name_, options_), std::move(await),
                               cause);
  }
  if (!stream && SendInterruptSignal() != 0) cause = SendInterruptCause();
  if (!stream) {
    startFailure_ = PrinterFailure(cause, SendInterruptSignal() != 0);
    return nullptr;
  }
  return std::make_unique<RawDocument>(std::move(stream), name_, options_);
}

std::optional<std::vector<CupsPrinter>> ListCupsPrinters(std::string& cause) {
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  if (count == 0 && !IppSucceeded(cupsLastError()) &&
      cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
    cause = CupsCause("They could not be listed.");
    return std::nullopt;
  }
  std::vector<CupsPrinter> printers;
  for (int i = 0; i < count; ++i) printers.push_back(PrinterOf(dests[i]));
  cupsFreeDests(count, dests);
  return printers;
}

std::optional<CupsPrinter> FindCupsPrinter(const std::string& name) {
  cups_dest_t* dest = NamedDest(name);
  if (dest == nullptr) return std::nullopt;
  CupsPrinter printer = PrinterOf(*dest);
  cupsFreeDests(1, dest);
  return printer;
}

std::string CupsDefaultPrinter() {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (dest == nullptr) return {};
  const std::string name = PrinterOf(*dest).name;
  cupsFreeDests(1, dest);
  return name;
}

void UseCupsServer(const std::string& server) { cupsSetServer(server.c_str()); }

}  // namespace pagewire::transport
