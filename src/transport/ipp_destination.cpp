#include "transport/ipp_destination.h"

#include <cups/cups.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "transport/ipp_attributes.h"
#include "transport/ipp_job_wait.h"
#include "transport/job_names.h"
#include "transport/loopback_host.h"
#include "transport/pipe_signal_block.h"
#include "transport/raw_document.h"
#include "transport/send_interrupt.h"

namespace pagewire::transport {
namespace {

// Bounds connecting to the printer.
constexpr int kConnectMillis = 30000;
// Bounds each answer while a job is waited for.
constexpr double kAnswerSeconds = 30.0;
// The most of a printer's list that a message quotes.
constexpr std::size_t kOfferedText = 200;
// Writes are sent in chunks of this size: fewer, larger chunks keep pace
// with ipptool sending the same file.
constexpr std::size_t kBufferSize = 1024 * 1024;

const char* MimeTypeOf(DocumentFormat format) {
  switch (format) {
    case DocumentFormat::Pdf:
      return "application/pdf";
    case DocumentFormat::Tiff:
      return "image/tiff";
    case DocumentFormat::Other:
      break;
  }
  return "application/octet-stream";
}

struct PrinterAddress {
  bool secure = false;
  std::string host;
  int port = 0;
  std::string resource;
};

constexpr const char* kNotAnAddress = "not a printer address like ipp://HOST[:PORT]/PATH";

std::optional<PrinterAddress> ParseUri(const std::string& uri, std::string* problem = nullptr) {
  char scheme[32], user[256], host[256], resource[1024];
  PrinterAddress address;
  const http_uri_status_t status =
      httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, user, sizeof user,
                      host, sizeof host, &address.port, resource, sizeof resource);
  if (status < HTTP_URI_STATUS_OK || host[0] == '\0') {
    if (problem != nullptr) {
      *problem = std::string(kNotAnAddress) +
                 (status < HTTP_URI_STATUS_OK
                      ? std::string(" (") + httpURIStatusString(status) + ")"
                      : std::string(" (no host)"));
    }
    return std::nullopt;
  }
  address.secure = strcasecmp(scheme, "ipps") == 0;
  address.host = host;
  address.resource = resource;
  return address;
}

// The printer's name in a request id, as lp gives it: the last part of its
// path, else its host.
std::string PrinterName(const PrinterAddress& address) {
  std::string name = address.resource;
  while (!name.empty() && name.back() == '/') name.pop_back();
  name = name.substr(name.find_last_of('/') + 1);
  return name.empty() ? address.host : name;
}

std::string Quoted(ipp_attribute_t* attribute) {
  if (attribute == nullptr) return "nothing";
  std::string text(kOfferedText + 1, '\0');
  text.resize(std::min(ippAttributeString(attribute, text.data(), text.size()), kOfferedText));
  if (text.size() == kOfferedText) text += "...";
  return text;
}

ipp_attribute_t* Supported(ipp_t* printer, const std::string& name) {
  return ippFindAttribute(printer, (name + "-supported").c_str(), IPP_TAG_ZERO);
}

enum class Offer { Taken, LeftOut, Refused };

// Whether the printer takes `wanted`; what it offers instead when not.
Offer CheckOffer(ipp_t* printer, const IppJobAttribute& wanted, std::string& offered) {
  if (wanted.syntax == IppSyntax::MediaCol) {
    ipp_attribute_t* members = Supported(printer, "media-col");
    ipp_attribute_t* types = Supported(printer, "media-type");
    ipp_attribute_t* sizes = Supported(printer, "media");
    if (!ippContainsString(members, "media-type") ||
        !ippContainsString(types, wanted.keyword.c_str())) {
      offered = ippContainsString(members, "media-type") ? "offers media-type=" + Quoted(types)
                                                         : "has no media-type";
      return Offer::Refused;
    }
    if (!wanted.mediaSize.empty() && (!ippContainsString(members, "media-size") ||
                                      !ippContainsString(sizes, wanted.mediaSize.c_str()))) {
      offered = "offers media=" + Quoted(sizes);
      return Offer::Refused;
    }
    return Offer::Taken;
  }
  ipp_attribute_t* supported = Supported(printer, wanted.name);
  if (supported == nullptr) {
    offered = "has no " + wanted.name;
    return wanted.neutral ? Offer::LeftOut : Offer::Refused;
  }
  bool taken = false;
  switch (wanted.syntax) {
    case IppSyntax::Keyword:
      taken = ippContainsString(supported, wanted.keyword.c_str()) != 0;
      break;
    case IppSyntax::Integer:
    case IppSyntax::Enum:
      taken = ippContainsInteger(supported, wanted.lower) != 0;
      break;
    case IppSyntax::Range:  // page-ranges-supported is a boolean
      taken = ippGetBoolean(supported, 0) != 0;
      break;
    case IppSyntax::MediaCol:
      break;
  }
  offered = "offers " + wanted.name + "=" + Quoted(supported);
  return taken ? Offer::Taken : Offer::Refused;
}

// The value of `listed` equal to `name` but for case; empty for none.
std::string ListedValue(ipp_attribute_t* listed, const std::string& name) {
  for (int i = 0; i < ippGetCount(listed); ++i) {
    const char* value = ippGetString(listed, i, nullptr);
    if (value != nullptr && strcasecmp(value, name.c_str()) == 0) return value;
  }
  return {};
}

// The name the printer lists for the media `name`: `name` itself, or the
// PWG name of a legacy or PPD name (na-letter, letter, A4); empty when it
// lists none.
std::string ListedMedia(ipp_t* printer, const std::string& name) {
  ipp_attribute_t* sizes = Supported(printer, "media");
  std::string ppd = name;  // PPD names are capitalised: Letter, A4
  ppd[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(ppd[0])));
  std::vector<std::string> candidates = {name};
  for (const pwg_media_t* media : {pwgMediaForLegacy(name.c_str()), pwgMediaForPPD(name.c_str()),
                                   pwgMediaForPPD(ppd.c_str())}) {
    if (media != nullptr) candidates.push_back(media->pwg);
  }
  for (const std::string& candidate : candidates) {
    if (std::string listed = ListedValue(sizes, candidate); !listed.empty()) return listed;
  }
  return {};
}

// A chosen media as the printer lists it, where it lists one.
void UseListedMedia(ipp_t* printer, IppJobAttribute& attribute) {
  const bool mediaCol = attribute.syntax == IppSyntax::MediaCol;
  if (attribute.name != "media" && !mediaCol) return;
  std::string& name = mediaCol ? attribute.mediaSize : attribute.keyword;
  if (name.empty()) return;
  if (std::string listed = ListedMedia(printer, name); !listed.empty()) name = listed;
}

void AddAttribute(ipp_t* request, const IppJobAttribute& attribute) {
  const char* name = attribute.name.c_str();
  switch (attribute.syntax) {
    case IppSyntax::Keyword:
      ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, name, nullptr,
                   attribute.keyword.c_str());
      break;
    case IppSyntax::Integer:
    case IppSyntax::Enum:
      ippAddInteger(request, IPP_TAG_JOB,
                    attribute.syntax == IppSyntax::Enum ? IPP_TAG_ENUM : IPP_TAG_INTEGER, name,
                    attribute.lower);
      break;
    case IppSyntax::Range:
      ippAddRange(request, IPP_TAG_JOB, name, attribute.lower, attribute.upper);
      break;
    case IppSyntax::MediaCol: {
      ipp_t* media = ippNew();
      if (!attribute.mediaSize.empty()) {
        const pwg_media_t* known = pwgMediaForPWG(attribute.mediaSize.c_str());
        ipp_t* size = ippNew();
        ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "x-dimension",
                      known != nullptr ? known->width : kA4Width);
        ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "y-dimension",
                      known != nullptr ? known->length : kA4Height);
        ippAddCollection(media, IPP_TAG_ZERO, "media-size", size);
        ippDelete(size);
      }
      ippAddString(media, IPP_TAG_ZERO, IPP_TAG_KEYWORD, "media-type", nullptr,
                   attribute.keyword.c_str());
      ippAddCollection(request, IPP_TAG_JOB, name, media);
      ippDelete(media);
      break;
    }
  }
}

bool Succeeded(ipp_t* response) {
  return response != nullptr && ippGetStatusCode(response) < IPP_STATUS_REDIRECTION_OTHER_SITE;
}

struct Response {
  ipp_t* ipp = nullptr;
  ~Response() { ippDelete(ipp); }
};

}  // namespace

// One Print-Job request on its own connection. Dropped before Commit, the
// connection is reset mid-request and the printer drops the document: a
// clean close would end the request's data as if it were whole. An
// interrupt ends it as the stall's timeout does.
class IppDestination::IppDocument final : public Document {
 public:
  // The document keeps what it needs of its destination: it may outlive it.
  IppDocument(const IppDestination& owner, http_t* http, PrinterAddress address,
              std::string fileName)
      : uri_(owner.uri_),
        options_(owner.options_),
        http_(http),
        address_(std::move(address)),
        fileName_(std::move(fileName)),
        watch_(options_.stalls, [this](const std::string& text) { Tell(options_, uri_, text); }) {
    buffer_.reserve(kBufferSize);
    httpSetTimeout(http_, CupsWaitSeconds(watch_), &IppDocument::OnWait, this);
  }
  ~IppDocument() override {
    if (sending_) ResetConnection(httpGetFd(http_));  // no response yet
    httpClose(http_);
  }
  IppDocument(const IppDocument&) = delete;
  IppDocument& operator=(const IppDocument&) = delete;

  // Pieces are gathered: libcups sends each write as a chunk of its own.
  bool Write(const void* data, std::size_t length) override {
    const auto* bytes = static_cast<const char*>(data);
    while (length > 0 && !failed_) {
      const std::size_t taken = std::min(length, kBufferSize - buffer_.size());
      buffer_.insert(buffer_.end(), bytes, bytes + taken);
      bytes += taken;
      length -= taken;
      if (buffer_.size() == kBufferSize) Flush();
    }
    return !failed_;
  }

  bool Commit() override {
    if (!Flush()) return false;
    failed_ = true;  // nothing more of it is sent
    Response response;
    {
      const PipeSignalBlock block;
      response.ipp = cupsGetResponse(http_, address_.resource.c_str());
    }
    if (!Succeeded(response.ipp)) return Failed(response.ipp);
    // The printer has the whole job: a wait for it is no send.
    sending_.reset();
    if (ippGetStatusCode(response.ipp) != IPP_STATUS_OK) {
      Tell(options_, uri_, fileName_ + ": " + IppStatusText(response.ipp));
    }
    jobId_ = ippGetInteger(ippFindAttribute(response.ipp, "job-id", IPP_TAG_INTEGER), 0);
    committed_ = true;
    return true;
  }

  SendFailure Failure() const override { return failure_; }
  std::string JobId() const override {
    return committed_ ? JobIdOf(PrinterName(address_), jobId_) : "";
  }

  // An interrupt ends the wait with the job not printed.
  bool AwaitEnd(std::optional<PrinterEnd>& end) override {
    end.reset();
    if (!committed_ || !options_.wait) return true;
    httpSetTimeout(http_, kAnswerSeconds, nullptr, nullptr);
    end = AwaitIppJob(
        http_, IppJob{address_.resource, uri_, jobId_, options_.ippUser}, *options_.wait,
        [this](const std::string& text) { Tell(options_, uri_, fileName_ + ": " + text); });
    return true;
  }

 private:
  bool Flush() {
    if (failed_) return false;
    if (SendInterruptSignal() != 0) return Failed(nullptr);
    if (buffer_.empty()) return true;
    const PipeSignalBlock block;
    const bool sent = cupsWriteRequestData(http_, buffer_.data(), buffer_.size()) ==
                      HTTP_STATUS_CONTINUE;
    buffer_.clear();
    if (sent) {
      watch_.Moved();
      return true;
    }
    if (SendInterruptSignal() != 0) return Failed(nullptr);
    // The printer may have answered early with its reason.
    const Response response{cupsGetResponse(http_, address_.resource.c_str())};
    return Failed(response.ipp);
  }

  bool Failed(ipp_t* response) {
    failed_ = true;
    const std::string cause = SendEndCause(stallCause_, IppStatusText(response));
    failure_ = PrinterFailure(cause, SendInterruptSignal() != 0);
    return false;
  }

  // libcups' call after each wait in which the printer took nothing: 1
  // waits on, 0 gives up.
  static int OnWait(http_t*, void* data) {
    auto* self = static_cast<IppDocument*>(data);
    return SendInterruptSignal() == 0 && self->watch_.KeepWaiting(self->stallCause_) ? 1 : 0;
  }

  std::optional<SendInProgress> sending_{std::in_place};  // until the printer has the job
  std::string uri_;
  DestinationOptions options_;
  http_t* http_;
  PrinterAddress address_;
  std::string fileName_;
  StallWatch watch_;
  std::string stallCause_;  // why the watch gave up
  std::vector<char> buffer_;
  bool failed_ = false;
  SendFailure failure_;
  bool committed_ = false;  // the printer has the job
  int jobId_ = 0;
};

IppDestination::IppDestination(std::string uri, DestinationOptions options)
    : uri_(std::move(uri)), options_(std::move(options)) {}

bool IppDestination::Names(std::string_view destination) {
  for (const std::string_view scheme : {"ipp://", "ipps://"}) {
    if (destination.size() > scheme.size() &&
        strncasecmp(destination.data(), scheme.data(), scheme.size()) == 0) {
      return true;
    }
  }
  return false;
}

std::optional<std::string> IppDestination::AddressProblem(const std::string& uri) {
  std::string problem;
  if (ParseUri(uri, &problem)) return std::nullopt;
  return problem;
}

std::nullptr_t IppDestination::Fail(const std::string& text, std::optional<Refusal> refusal) {
  startFailure_ = refusal ? RefusalOf(*refusal, text)
                          : PrinterFailure(text, SendInterruptSignal() != 0);
  return nullptr;
}

const char* IppDestination::User() const {
  return options_.ippUser.empty() ? cupsUser() : options_.ippUser.c_str();
}

std::unique_ptr<Document> IppDestination::StartDocument(const DocumentStart& start) {
  const std::optional<PrinterAddress> address = ParseUri(uri_);
  if (!address) return Fail(kNotAnAddress);
  const bool withPassword = start.password && !start.password->empty();
  // Checked before connecting: nothing goes to the printer.
  if (withPassword && !address->secure && !options_.allowPlainPassword &&
      !IsLoopbackHost(address->host)) {
    return Fail("plain ipp:// would carry the password of " + start.fileName + " in clear to " +
                    address->host + "; give ipps://, or --allow-plain-password",
                Refusal::PlainPassword);
  }
  const SendInProgress starting;
  const PipeSignalBlock block;
  http_t* http = httpConnect2(address->host.c_str(), address->port, nullptr, AF_UNSPEC,
                              address->secure ? HTTP_ENCRYPTION_ALWAYS
                                              : HTTP_ENCRYPTION_IF_REQUESTED,
                              1, kConnectMillis, SendInterruptFlag());
  if (SendInterruptSignal() != 0) {
    httpClose(http);
    return Fail(SendInterruptCause());
  }
  if (http == nullptr) {
    const int error = errno;
    // A TLS failure leaves its text; a socket's, errno.
    const char* text = cupsLastError() != IPP_STATUS_OK ? cupsLastErrorString() : nullptr;
    return Fail("cannot connect: " + std::string(text != nullptr ? text : std::strerror(error)));
  }
  // Owned by the document from here, or closed on a refusal.
  auto document = std::make_unique<IppDocument>(*this, http, *address, start.fileName);

  const char* format = MimeTypeOf(start.format);
  static const char* const kAsked[] = {
      "document-format-supported", "document-password-supported", "copies-supported",
      "multiple-document-handling-supported", "page-ranges-supported", "sides-supported",
      "media-supported", "media-col-supported", "media-type-supported",
      "print-color-mode-supported", "print-quality-supported", "print-scaling-supported",
      "number-up-supported"};
  ipp_t* query = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(query, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri_.c_str());
  ippAddString(query, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, User());
  ippAddString(query, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, format);
  ippAddStrings(query, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(kAsked)), nullptr, kAsked);
  const Response printer{cupsDoRequest(http, query, address->resource.c_str())};
  if (SendInterruptSignal() != 0) return Fail(SendInterruptCause());
  if (!Succeeded(printer.ipp)) {
    return Fail("Get-Printer-Attributes: " + IppStatusText(printer.ipp));
  }

  ipp_attribute_t* formats = Supported(printer.ipp, "document-format");
  if (!ippContainsString(formats, format)) {
    return Fail("the printer does not take " + std::string(format) + " (" + start.fileName +
                    "); it takes " + Quoted(formats),
                Refusal::File);
  }
  if (withPassword) {
    const int most = ippGetInteger(Supported(printer.ipp, "document-password"), 0);
    if (most <= 0 || start.password->size() > static_cast<std::size_t>(most)) {
      return Fail(most <= 0 ? "the printer takes no document-password, so the protected " +
                                  start.fileName + " is not sent"
                            : "the printer takes a document-password of at most " +
                                  std::to_string(most) + " bytes; " + start.fileName +
                                  " has a longer one and is not sent",
                  Refusal::File);
    }
  }
  std::vector<IppJobAttribute> sent;
  if (start.settings != nullptr) {
    IppChoices choices = options_.ipp;
    choices.anyDocument = start.format != DocumentFormat::Pdf;
    IppJobAttributes wanted = IppAttributesOf(*start.settings, choices);
    if (wanted.refusal) return Fail(*wanted.refusal, Refusal::Setting);
    for (IppJobAttribute& attribute : wanted.attributes) {
      UseListedMedia(printer.ipp, attribute);
      std::string offered;
      switch (CheckOffer(printer.ipp, attribute, offered)) {
        case Offer::Taken:
          sent.push_back(attribute);
          break;
        case Offer::LeftOut:
          break;
        case Offer::Refused:
          return Fail(attribute.Text() + " is not supported; the printer " + offered,
                      Refusal::Setting);
      }
    }
  }

  ipp_t* job = ippNewRequest(IPP_OP_PRINT_JOB);
  ippAddString(job, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri_.c_str());
  ippAddString(job, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, User());
  ippAddString(job, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
               CleanName(options_.title.empty() ? start.fileName : options_.title, NameUse::IppJobName)
                   .c_str());
  ippAddString(job, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, format);
  // An operation attribute, so that it is not kept with the job where
  // Get-Job-Attributes could read it back.
  if (withPassword) {
    ippAddOctetString(job, IPP_TAG_OPERATION, "document-password", start.password->data(),
                      static_cast<int>(start.password->size()));
  }
  for (const IppJobAttribute& attribute : sent) AddAttribute(job, attribute);
  const http_status_t status =
      cupsSendRequest(http, job, address->resource.c_str(), CUPS_LENGTH_VARIABLE);
  ippDelete(job);
  if (SendInterruptSignal() != 0) return Fail(SendInterruptCause());
  if (status != HTTP_STATUS_CONTINUE) {
    const Response response{cupsGetResponse(http, address->resource.c_str())};
    return Fail(IppStatusText(response.ipp));
  }
  return document;
}

std::vector<NetworkPrinter> FindIppPrinters(std::chrono::milliseconds browse) {
  struct Found {
    std::vector<NetworkPrinter> printers;
  } found;
  const auto take = [](void* data, unsigned flags, cups_dest_t* dest) -> int {
    const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options);
    if ((flags & CUPS_DEST_FLAGS_REMOVED) == 0 && uri != nullptr && IppDestination::Names(uri)) {
      static_cast<Found*>(data)->printers.push_back({dest->name, uri});
    }
    return 1;
  };
  cupsEnumDests(CUPS_DEST_FLAGS_DEVICE, static_cast<int>(browse.count()), nullptr, 0, 0, take,
                &found);
  // Queues are listed with their own device; a printer seen twice, once.
  cups_dest_t* queues = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &queues);
  std::vector<NetworkPrinter> printers;
  for (const NetworkPrinter& printer : found.printers) {
    const bool queued = cupsGetDest(printer.name.c_str(), nullptr, count, queues) != nullptr;
    const bool seen = std::any_of(printers.begin(), printers.end(), [&](const NetworkPrinter& p) {
      return p.uri == printer.uri;
    });
    if (!queued && !seen) printers.push_back(printer);
  }
  cupsFreeDests(count, queues);
  return printers;
}

}  // namespace pagewire::transport
