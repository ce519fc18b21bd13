#include "server/request_hook.h"

#include <netinet/in.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "server/job_attributes.h"
#include "server/job_comments.h"
#include "server/hotfolder_service.h"
#include "server/job_origin.h"
#include "server/job_origins.h"
#include "server/pagewire_printer.h"
#include "server/web_login.h"

namespace pagewire::server {
namespace {

// The request being answered on this thread, until PAPPL makes its job.
thread_local std::shared_ptr<JobOrigin> pendingOrigin;

bool TakesDocument(ipp_op_t op) { return op == IPP_OP_PRINT_JOB || op == IPP_OP_SEND_DOCUMENT; }

bool MakesJob(ipp_op_t op) {
  return op == IPP_OP_PRINT_JOB || op == IPP_OP_CREATE_JOB || op == IPP_OP_VALIDATE_JOB;
}

// The operations PAPPL lets any network client ask for; the others are an
// administrator's, which PAPPL without authentication allows from this
// machine only.
bool AnyClientMayAsk(ipp_op_t op) {
  static constexpr std::array<ipp_op_t, 13> kOps = {
      IPP_OP_PRINT_JOB,          IPP_OP_VALIDATE_JOB,      IPP_OP_CREATE_JOB,
      IPP_OP_SEND_DOCUMENT,      IPP_OP_CANCEL_JOB,        IPP_OP_CANCEL_MY_JOBS,
      IPP_OP_GET_JOB_ATTRIBUTES, IPP_OP_GET_JOBS,          IPP_OP_GET_PRINTER_ATTRIBUTES,
      IPP_OP_CLOSE_JOB,          IPP_OP_CANCEL_CURRENT_JOB, IPP_OP_HOLD_JOB,
      IPP_OP_RELEASE_JOB};
  for (const ipp_op_t known : kOps) {
    if (op == known) return true;
  }
  return false;
}

std::optional<platform::Ipv4Address> Ipv4Of(const http_addr_t* address) {
  if (address == nullptr) return std::nullopt;
  platform::Ipv4Address parts{};
  if (httpAddrFamily(const_cast<http_addr_t*>(address)) == AF_INET) {
    std::memcpy(parts.data(), &address->ipv4.sin_addr.s_addr, parts.size());
    return parts;
  }
  if (httpAddrFamily(const_cast<http_addr_t*>(address)) == AF_INET6 &&
      IN6_IS_ADDR_V4MAPPED(&address->ipv6.sin6_addr)) {
    std::memcpy(parts.data(), &address->ipv6.sin6_addr.s6_addr[12], parts.size());
    return parts;
  }
  return std::nullopt;
}

// Answers `status` and ends the request there: the document is read and
// dropped, so PAPPL finds none and makes no job (its own answer to that is
// a lesser status, which leaves this one). A request without a document
// is stopped by a fidelity value PAPPL cannot take.
void Refuse(pappl_client_t* client, ipp_status_t status, ipp_attribute_t* attr,
            const std::string& message) {
  papplClientRespondIPP(client, status, "%s", message.c_str());
  ipp_t* response = papplClientGetResponse(client);
  if (attr != nullptr) {
    ipp_attribute_t* copy = ippCopyAttribute(response, attr, 0);
    ippSetGroupTag(response, &copy, IPP_TAG_UNSUPPORTED_GROUP);
  }
  ipp_t* request = papplClientGetRequest(client);
  if (TakesDocument(ippGetOperation(request))) {
    http_t* http = papplClientGetHTTP(client);
    std::array<char, 16384> buffer{};
    while (httpGetState(http) == HTTP_STATE_POST_RECV && httpRead2(http, buffer.data(), buffer.size()) > 0) {
    }
  } else {
    ippDeleteAttribute(request, ippFindAttribute(request, "ipp-attribute-fidelity", IPP_TAG_ZERO));
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "ipp-attribute-fidelity", 1);
  }
}

// The formats the printers take: PDF and TIFF as they are, and the raster
// formats PAPPL reads, sent on as a PDF of their pages; with their first
// bytes.
struct Format {
  const char* type;
  std::string_view magic;
};
constexpr std::string_view kTiffLittle("II*\0", 4);
constexpr std::string_view kTiffBig("MM\0*", 4);
constexpr Format kFormats[] = {
    {"application/pdf", "%PDF"},  {"image/tiff", kTiffLittle},  {"image/tiff", kTiffBig},
    {"image/pwg-raster", "RaS2"}, {"image/urf", "UNIRAST"},      {"image/jpeg", "\xff\xd8\xff"},
    {"image/png", "\x89PNG\r\n\x1a\n"}};

// The document's format: as named, or as its first bytes show when it is
// sent as application/octet-stream (which stands for a Validate-Job, that
// has no bytes). Null for none the printers take.
const char* TakenFormat(pappl_client_t* client, ipp_t* request, ipp_attribute_t*& named) {
  named = ippFindAttribute(request, "document-format", IPP_TAG_MIMETYPE);
  const char* format = named != nullptr ? ippGetString(named, 0, nullptr) : "application/octet-stream";
  for (const Format& taken : kFormats) {
    if (std::strcmp(format, taken.type) == 0) return taken.type;
  }
  if (std::strcmp(format, "application/octet-stream") != 0) return nullptr;
  if (ippGetOperation(request) == IPP_OP_VALIDATE_JOB) return "application/octet-stream";
  std::array<char, 8> head{};
  const ssize_t got = httpPeek(papplClientGetHTTP(client), head.data(), head.size());
  if (got < 4) return nullptr;
  const std::string_view bytes(head.data(), static_cast<std::size_t>(got));
  for (const Format& taken : kFormats) {
    if (bytes.substr(0, taken.magic.size()) == taken.magic) return taken.type;
  }
  return nullptr;
}

ipp_attribute_t* FindJobAttribute(ipp_t* request, const char* name) {
  ipp_attribute_t* attr = ippFindAttribute(request, name, IPP_TAG_ZERO);
  return attr != nullptr && ippGetGroupTag(attr) == IPP_TAG_JOB ? attr : nullptr;
}

// False when the request was refused. `format`: the document's, for a
// request with one.
bool Check(pappl_client_t* client, ipp_t* request, const char*& format) {
  const ipp_op_t op = ippGetOperation(request);
  const bool withDocument = TakesDocument(op) || op == IPP_OP_VALIDATE_JOB;
  ipp_attribute_t* named = nullptr;
  format = withDocument ? TakenFormat(client, request, named) : nullptr;
  if (withDocument && format == nullptr) {
    Refuse(client, IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED, named,
           "The printer takes PDF, TIFF, PWG raster, URF, JPEG and PNG documents only.");
    return false;
  }
  ipp_attribute_t* fidelity = ippFindAttribute(request, "ipp-attribute-fidelity", IPP_TAG_BOOLEAN);
  if (MakesJob(op) && fidelity != nullptr && ippGetBoolean(fidelity, 0)) {
    const std::vector<IppValue> values = SettingValuesOf(
        [request](const char* name) { return FindJobAttribute(request, name); });
    const MappedSettings mapped = ApplyIppValues({}, values);
    if (!mapped.unmapped.empty()) {
      const std::string& name = mapped.unmapped.front();
      Refuse(client, IPP_STATUS_ERROR_ATTRIBUTES_OR_VALUES, FindJobAttribute(request, name.c_str()),
             "The printer has no such " + name + ".");
      return false;
    }
  }
  return true;
}

// Takes the password out of the request; false when it came over a
// connection it may not come over.
bool TakePassword(pappl_client_t* client, ipp_t* request, JobOrigin& origin) {
  ipp_attribute_t* attr = ippFindAttribute(request, "document-password", IPP_TAG_ZERO);
  if (attr == nullptr) return true;
  const bool allowed = papplClientIsEncrypted(client) ||
                       httpAddrLocalhost(httpGetAddress(papplClientGetHTTP(client)));
  int length = 0;
  const void* bytes = ippGetValueTag(attr) == IPP_TAG_STRING ? ippGetOctetString(attr, 0, &length)
                                                             : nullptr;
  if (allowed && bytes != nullptr) {
    origin.password.emplace(static_cast<const char*>(bytes), static_cast<std::size_t>(length));
  }
  if (bytes != nullptr && length > 0) job::WipeSecret(const_cast<void*>(bytes), static_cast<std::size_t>(length));
  ippDeleteAttribute(request, attr);
  if (allowed) return true;
  Refuse(client, IPP_STATUS_ERROR_DOCUMENT_SECURITY, nullptr,
         "A document password is taken only over TLS or from this machine.");
  return false;
}

http_status_t Authorize(pappl_client_t* client, const char*, gid_t, void*) {
  pendingOrigin.reset();
  ipp_t* request = papplClientGetRequest(client);
  // PAPPL asks for its settings pages too, which need an administrator
  // signed in, as its other administrator's requests do unless they come
  // from this machine.
  if (request == nullptr) return AuthorizeAdministrator(client);
  const ipp_op_t op = ippGetOperation(request);
  if (!AnyClientMayAsk(op)) {
    return httpAddrLocalhost(httpGetAddress(papplClientGetHTTP(client))) ? HTTP_STATUS_CONTINUE
                                                                         : AuthorizeAdministrator(client);
  }
  if (!TakesDocument(op) && !MakesJob(op)) return HTTP_STATUS_CONTINUE;
  auto origin = std::make_shared<JobOrigin>();
  const char* format = nullptr;
  if (!TakePassword(client, request, *origin) || !Check(client, request, format)) {
    return HTTP_STATUS_CONTINUE;
  }
  if (ipp_attribute_t* name = ippFindAttribute(request, "document-name", IPP_TAG_NAME)) {
    origin->documentName = ippGetString(name, 0, nullptr);
  }
  if (const char* host = papplClientGetHostName(client)) origin->hostName = host;
  origin->address = Ipv4Of(httpGetAddress(papplClientGetHTTP(client)));

  if (op == IPP_OP_SEND_DOCUMENT) {
    ipp_attribute_t* id = ippFindAttribute(request, "job-id", IPP_TAG_INTEGER);
    pappl_printer_t* printer = papplClientGetPrinter(client);
    pappl_job_t* job = printer != nullptr && id != nullptr
                           ? papplPrinterFindJob(printer, ippGetInteger(id, 0))
                           : nullptr;
    if (job != nullptr) {
      const std::shared_ptr<JobOrigin> kept = AttachOrigin(job, origin);
      if (kept != origin) {
        if (!origin->documentName.empty()) kept->documentName = origin->documentName;
        if (origin->password) {
          kept->WipePassword();
          kept->password = std::move(origin->password);
        }
      }
    }
    return HTTP_STATUS_CONTINUE;
  }
  // A PDF is held until its password is checked, unless the client holds
  // it itself.
  if (op == IPP_OP_PRINT_JOB && std::strcmp(format, "application/pdf") == 0 &&
      ippFindAttribute(request, "job-hold-until", IPP_TAG_ZERO) == nullptr &&
      ippFindAttribute(request, "job-hold-until-time", IPP_TAG_ZERO) == nullptr) {
    ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr, "indefinite");
    origin->heldForCheck = true;
  }
  if (op != IPP_OP_VALIDATE_JOB) pendingOrigin = std::move(origin);
  return HTTP_STATUS_CONTINUE;
}

// The held jobs with a file; which of them wait for their check is read
// under the origins' lock.
void CollectHeld(pappl_job_t* job, void* found) {
  if (papplJobGetState(job) == IPP_JSTATE_HELD && papplJobGetFilename(job) != nullptr) {
    static_cast<std::vector<pappl_job_t*>*>(found)->push_back(job);
  }
}

void CollectPrinterHeld(pappl_printer_t* printer, void* found) {
  papplPrinterIterateActiveJobs(printer, CollectHeld, found, 1, 0);
}

void OnEvent(pappl_system_t*, pappl_printer_t*, pappl_job_t* job, pappl_event_t event, void*) {
  if (job == nullptr) return;
  HotFolderJobEvent(job, event);
  if (event & PAPPL_EVENT_JOB_CREATED) {
    if (pendingOrigin) AttachOrigin(job, std::move(pendingOrigin));
    pendingOrigin.reset();
  } else if (event & PAPPL_EVENT_JOB_COMPLETED) {
    DetachOrigin(job);
  }
}

}  // namespace

namespace {

void CountLoad(pappl_job_t* job, void* data) {
  PrinterLoad& load = *static_cast<PrinterLoad*>(data);
  const ipp_jstate_t state = papplJobGetState(job);
  if (state == IPP_JSTATE_PENDING || state == IPP_JSTATE_PROCESSING) {
    ++load.running;
  } else if (state == IPP_JSTATE_HELD) {
    const std::shared_ptr<JobOrigin> origin = OriginOf(job);
    if (origin != nullptr && origin->heldForCheck) ++load.checked;
  }
}

// The printer runs no job and has none waiting to run.
bool Free(pappl_printer_t* printer) {
  return LoadOf(printer).running == 0 && papplPrinterGetState(printer) == IPP_PSTATE_IDLE;
}

}  // namespace

PrinterLoad LoadOf(pappl_printer_t* printer) {
  PrinterLoad load;
  papplPrinterIterateActiveJobs(printer, CountLoad, &load, 1, 0);
  return load;
}

void ReleaseCheckedJobs(pappl_system_t* system) {
  // PAPPL 1.3 starts the first pending job of a printer on each release
  // (and at each job's end) until that job's thread has begun: jobs
  // released while another starts run at once, the same job several times
  // over one printer. So a job is released only to a printer that is free,
  // and the next once the printer is free again; this round waits for
  // that a little, the next round takes the rest.
  constexpr int kTickBudgetMs = 300;
  constexpr int kSettleMs = 30;
  int spentMs = 0;
  // Collected first: releasing a job takes the locks the iteration holds.
  std::vector<pappl_job_t*> held;
  papplSystemIteratePrinters(system, CollectPrinterHeld, &held);
  for (pappl_job_t* job : held) {
    const std::shared_ptr<JobOrigin> origin = OriginOf(job);
    if (origin == nullptr || !origin->heldForCheck) continue;
    pappl_printer_t* printer = papplJobGetPrinter(job);
    while (!Free(printer) && spentMs < kTickBudgetMs) {
      usleep(1000);
      ++spentMs;
    }
    // A job's end shows the printer free before PAPPL checks its jobs
    // once more, and a job released in between starts twice: the printer
    // has to stay free a moment first.
    if (Free(printer)) usleep(kSettleMs * 1000);
    spentMs += kSettleMs;
    if (!Free(printer) || !origin->heldForCheck.exchange(false)) continue;
    if (PdfWillPrint(job, *origin)) {
      papplJobRelease(job, nullptr);
      for (int waited = 0; waited < 2000 && papplJobGetState(job) == IPP_JSTATE_PENDING &&
                           papplPrinterGetState(printer) == IPP_PSTATE_IDLE;
           ++waited) {
        usleep(1000);
      }
    } else {
      papplLogJob(job, PAPPL_LOGLEVEL_WARN, "Held: %s", papplJobGetMessage(job));
    }
  }
}

bool ReleaseWithPassword(pappl_job_t* job, std::string password) {
  const std::shared_ptr<JobOrigin> origin = AttachOrigin(job, std::make_shared<JobOrigin>());
  if (origin->heldForCheck) return true;  // released a moment ago
  origin->WipePassword();
  origin->password = std::move(password);
  papplJobSetReasons(job, PAPPL_JREASON_NONE, PAPPL_JREASON_DOCUMENT_PASSWORD_ERROR);
  const bool prints = PdfWillPrint(job, *origin);
  origin->heldForCheck = prints;
  return prints;
}

std::string HeldDocumentName(pappl_job_t* job) {
  const std::shared_ptr<const JobOrigin> origin = OriginOf(job);
  return DocumentNameOf(origin != nullptr ? origin->documentName.c_str() : nullptr, papplJobGetName(job));
}
void SetPendingOrigin(std::shared_ptr<JobOrigin> origin) { pendingOrigin = std::move(origin); }

void WatchJobRequests(pappl_system_t* system) {
  papplSystemSetAuthCallback(system, "Basic", Authorize, nullptr);
  papplSystemSetEventCallback(system, OnEvent, nullptr);
}

}  // namespace pagewire::server
