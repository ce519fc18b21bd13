#include "server/pagewire_printer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "job/decisions.h"
#include "job/password.h"
#include "job/pdf_inspection.h"
#include "server/job_attributes.h"
#include "server/job_comments.h"
#include "server/job_origin.h"
#include "server/job_origins.h"
#include "server/raster_pdf.h"
#include "settings/setting_text.h"
#include "transport/job_names.h"
#include "transport/pjl_header.h"
#include "transport/pjl_job_status.h"
#include "transport/socket_destination.h"

namespace pagewire::server {

pappl_pr_driver_t kDrivers[1] = {
    {kDriverName, "Pagewire PJL printer (PDF, TIFF; raster as PDF)", nullptr, nullptr}};

namespace {

constexpr const char* kMediaA4 = "iso_a4_210x297mm";
// How long the printer has to tell that a job ended, once it has every byte.
std::atomic<int> endWaitSeconds = kDefaultEndWaitSeconds;

// The settings the printer's defaults give, in the order they apply.
std::vector<IppValue> DefaultValues(pappl_printer_t* printer) {
  pappl_pr_driver_data_t data;
  papplPrinterGetDriverData(printer, &data);
  std::vector<IppValue> values;
  values.push_back({"multiple-document-handling", "separate-documents-collated-copies"});
  values.push_back({"sides", data.sides_default == PAPPL_SIDES_TWO_SIDED_LONG_EDGE
                                 ? "two-sided-long-edge"
                             : data.sides_default == PAPPL_SIDES_TWO_SIDED_SHORT_EDGE
                                 ? "two-sided-short-edge"
                                 : "one-sided"});
  values.push_back({"print-color-mode",
                    data.color_default == PAPPL_COLOR_MODE_MONOCHROME ? "monochrome" : "auto"});
  values.push_back({"print-quality", std::to_string(static_cast<int>(data.quality_default))});
  values.push_back({"print-scaling", data.scaling_default == PAPPL_SCALING_NONE ? "none" : "auto"});
  if (data.media_default.size_name[0] != '\0') values.push_back({"media", data.media_default.size_name});
  if (data.media_default.type[0] != '\0') values.push_back({"media-type", data.media_default.type});
  ipp_t* attrs = papplPrinterGetDriverAttributes(printer);
  if (ipp_attribute_t* up = ippFindAttribute(attrs, "number-up-default", IPP_TAG_INTEGER)) {
    values.push_back({"number-up", std::to_string(ippGetInteger(up, 0))});
  }
  ippDelete(attrs);
  return values;
}

void AddValue(ipp_attribute_t* attr, const char* name, std::vector<IppValue>& values) {
  switch (ippGetValueTag(attr)) {
    case IPP_TAG_INTEGER:
    case IPP_TAG_ENUM:
      values.push_back({name, std::to_string(ippGetInteger(attr, 0))});
      break;
    case IPP_TAG_RANGE: {
      int upper = 0;
      const int lower = ippGetRange(attr, 0, &upper);
      // Several ranges: none the header can carry.
      values.push_back({name, ippGetCount(attr) == 1
                                  ? std::to_string(lower) + "-" + std::to_string(upper)
                                  : std::string("several")});
      break;
    }
    case IPP_TAG_BEGIN_COLLECTION: {
      ipp_t* col = ippGetCollection(attr, 0);
      if (ipp_attribute_t* sizeName = ippFindAttribute(col, "media-size-name", IPP_TAG_ZERO)) {
        values.push_back({"media", ippGetString(sizeName, 0, nullptr)});
      } else if (ipp_attribute_t* size = ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION)) {
        ipp_t* dims = ippGetCollection(size, 0);
        const int x = ippGetInteger(ippFindAttribute(dims, "x-dimension", IPP_TAG_INTEGER), 0);
        const int y = ippGetInteger(ippFindAttribute(dims, "y-dimension", IPP_TAG_INTEGER), 0);
        pwg_media_t* media = pwgMediaForSize(x, y);
        values.push_back({"media", media != nullptr && media->pwg != nullptr
                                       ? media->pwg
                                       : std::to_string(x) + "x" + std::to_string(y)});
      }
      if (ipp_attribute_t* type = ippFindAttribute(col, "media-type", IPP_TAG_ZERO)) {
        values.push_back({"media-type", ippGetString(type, 0, nullptr)});
      }
      break;
    }
    default:
      if (const char* text = ippGetString(attr, 0, nullptr)) values.push_back({name, text});
      break;
  }
}

}  // namespace

std::vector<IppValue> SettingValuesOf(const std::function<ipp_attribute_t*(const char*)>& find) {
  // print-scaling before number-up: the layout a number-up of 1 keeps.
  static constexpr std::array<const char*, 10> kNames = {
      "copies", "multiple-document-handling", "page-ranges", "sides", "media",
      "media-col", "print-color-mode", "print-quality", "print-scaling", "number-up"};
  std::vector<IppValue> values;
  for (const char* name : kNames) {
    if (ipp_attribute_t* attr = find(name)) AddValue(attr, name, values);
  }
  return values;
}

namespace {

// The printer is unreachable or dropped the job: its state says so until a
// job reaches it again, and the job says how.
void ConnectionLost(pappl_job_t* job, const char* how) {
  papplPrinterSetReasons(papplJobGetPrinter(job), PAPPL_PREASON_OFFLINE, PAPPL_PREASON_NONE);
  papplJobSetMessage(job, "Not printed: the printer %s.", how);
  papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not printed: the printer %s.", how);
}

class Sender {
 public:
  Sender(pappl_job_t* job, pappl_device_t* device) : job_(job), device_(device) {}

  bool Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
  bool Write(const void* bytes, std::size_t size) {
    if (size == 0) return true;
    if (papplDeviceWrite(device_, bytes, size) < 0) {
      ConnectionLost(job_, "took no more of the job");
      return false;
    }
    return true;
  }

 private:
  pappl_job_t* job_;
  pappl_device_t* device_;
};

// Reads the printer's job status until it tells that `status`'s job ended,
// the job is canceled here or the printer has said nothing for too long.
// False when the printer reset the connection.
bool AwaitEnd(pappl_job_t* job, pappl_device_t* device, transport::PjlJobStatus& status) {
  const time_t limit = time(nullptr) + endWaitSeconds;
  std::array<char, 4096> buffer{};
  while (!papplJobIsCanceled(job) && time(nullptr) < limit) {
    errno = 0;
    const ssize_t got = papplDeviceRead(device, buffer.data(), buffer.size());
    if (got == 0) break;  // the printer closed the connection
    if (got < 0 && (errno == ECONNRESET || errno == EPIPE || errno == ENOTCONN)) return false;
    if (got < 0) continue;  // nothing within the device's poll time
    if (status.Take(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) return true;
  }
  return true;
}

// Nobody to ask: the request's password is tried once, under the
// printer's key; a PDF the reader cannot read goes as it is, one that
// forbids printing does not.
class RequestDecisions final : public job::Decisions {
 public:
  RequestDecisions(const std::optional<std::string>& password,
                   std::optional<settings::MacAddress> mac)
      : password_(password), mac_(mac) {}

  job::SettingsAnswer PdfSettings(job::PdfPrintSettings&) override {
    return job::SettingsAnswer::Print;
  }
  job::PasswordAnswer Password(job::PasswordEntry& entry,
                               const job::PasswordQuestion& question) override {
    if (question.attempt > 1 || !password_) return job::PasswordAnswer::NoOther;
    entry.password = *password_;
    entry.passwordUtf8 = *password_;
    entry.macAddress = mac_;
    return job::PasswordAnswer::Try;
  }
  bool GoOn(const job::GoOnQuestion& question) override {
    return question.kind == job::GoOnQuestion::Kind::Unreadable;
  }
  job::ConfirmAnswer ConfirmFolderFile(const std::string&) override {
    return job::ConfirmAnswer::Print;
  }
  std::optional<std::string> OutputFilePath() override { return std::nullopt; }
  bool RetryOutputFile(const std::string&, platform::FileErrorCause) override { return false; }
  void Told(const job::DocumentOutcome&) override {}

 private:
  const std::optional<std::string>& password_;
  std::optional<settings::MacAddress> mac_;
};

// The printer's key for passwords: its MAC address when the key mode says
// so, else the fixed key (no address). `bad` is set when the key mode is
// the MAC address and the address given is none.
struct PrinterKey {
  std::optional<settings::MacAddress> mac;
  bool bad = false;
  std::string given;
};

PrinterKey KeyOf(pappl_printer_t* printer) {
  ipp_t* attrs = papplPrinterGetDriverAttributes(printer);
  const char* mode = ippGetString(ippFindAttribute(attrs, "pagewire-key-mode-default", IPP_TAG_ZERO), 0, nullptr);
  const char* mac = ippGetString(ippFindAttribute(attrs, "pagewire-mac-address-default", IPP_TAG_ZERO), 0, nullptr);
  PrinterKey key;
  if (mode != nullptr && std::strcmp(mode, "mac-address") == 0) {
    key.given = mac != nullptr ? mac : "";
    key.mac = settings::ParseMacAddress(key.given);
    key.bad = !key.mac;
  }
  ippDelete(attrs);
  return key;
}

// The request's document-name, else the job's name.
std::string DocumentNameOfJob(pappl_job_t* job, const JobOrigin* origin) {
  return DocumentNameOf(origin != nullptr ? origin->documentName.c_str() : nullptr,
                        papplJobGetName(job));
}

// The password's part of the header; false, with the job's reason set,
// when the PDF is not to be sent. The password is wiped unless `keep`.
bool PasswordFacts(pappl_job_t* job, const char* path, JobOrigin* origin,
                   transport::JobHeaderFacts& facts, bool keep = false) {
  static const std::optional<std::string> kNone;
  const std::optional<std::string>& password = origin != nullptr ? origin->password : kNone;
  const PrinterKey key = KeyOf(papplJobGetPrinter(job));
  const std::optional<settings::MacAddress>& mac = key.mac;
  if (password && password->size() > job::kPasswordMaxChars) {
    papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_PASSWORD_ERROR, PAPPL_JREASON_NONE);
    papplJobSetMessage(job, "The document password is longer than the printer takes.");
    return false;
  }
  RequestDecisions decisions(password, mac);
  const job::InspectPdf inspect = job::RealPdfInspection();
  const std::function<bool()> hasAddress = [&mac] { return mac.has_value(); };
  const job::PasswordSteps steps{decisions, inspect, hasAddress, std::nullopt};
  job::PasswordOutcome outcome = job::RunPasswordSteps(steps, path, facts.fileName, true);
  const bool given = password.has_value();
  if (origin != nullptr && (!keep || outcome.skip)) origin->WipePassword();
  if (outcome.skip) {
    const bool forbids = *outcome.skip == job::SkipReason::ForbidsPrinting;
    papplJobSetReasons(job, forbids ? PAPPL_JREASON_DOCUMENT_PERMISSION_ERROR
                                    : PAPPL_JREASON_DOCUMENT_PASSWORD_ERROR,
                       PAPPL_JREASON_NONE);
    papplJobSetMessage(job, forbids ? "The PDF forbids printing."
                       : given      ? "The document password does not open the PDF."
                                    : "The PDF needs its document password.");
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s Nothing was sent.", papplJobGetMessage(job));
    return false;
  }
  if (key.bad && !outcome.passwordHex.empty()) {
    job::WipeSecret(outcome.passwordHex);
    papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_PASSWORD_ERROR, PAPPL_JREASON_NONE);
    papplJobSetMessage(job, "The printer's password key is its MAC address, and '%s' is no MAC address.",
                       key.given.c_str());
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s Nothing was sent.", papplJobGetMessage(job));
    if (origin != nullptr) origin->WipePassword();
    return false;
  }
  facts.keyMode = outcome.keyMode;
  facts.passwordHex = std::move(outcome.passwordHex);
  return true;
}

// Sends the job's file: for a PDF the header first, and all of it between
// the PJL job commands that ask the printer to tell when the job ends.
// `document`, when given, is the PDF made of a raster job, read from its
// start and closed here; there is no password to it.
bool SendDocument(pappl_job_t* job, pappl_device_t* device, bool withHeader, int document = -1) {
  const char* path = papplJobGetFilename(job);
  const int fd = document >= 0 ? document : path != nullptr ? open(path, O_RDONLY | O_CLOEXEC) : -1;
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || lseek(fd, 0, SEEK_SET) != 0) {
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Unable to read the job's file: %s",
                fd < 0 && path == nullptr ? "the job has none" : strerror(errno));
    if (fd >= 0) close(fd);
    return false;
  }

  const std::shared_ptr<JobOrigin> held = OriginOf(job);
  JobOrigin* origin = held.get();
  const std::string documentName = DocumentNameOfJob(job, origin);
  transport::JobHeaderFacts facts;
  if (withHeader) {
    facts.fileName = documentName;
    facts.fileLength = static_cast<std::uint64_t>(info.st_size);
    if (document < 0 && !PasswordFacts(job, path, origin, facts)) {
      close(fd);
      return false;
    }
  }

  Sender sender(job, device);
  const std::string pjlName = transport::CleanName(documentName, transport::NameUse::PjlJobName);
  bool sent = sender.Write(transport::PjlJobOpening(pjlName));

  if (sent && withHeader) {
    pappl_printer_t* printer = papplJobGetPrinter(job);
    const std::vector<IppValue> defaults = DefaultValues(printer);
    const settings::PrintJobSettings base = ApplyIppValues({}, defaults).settings;
    const std::vector<IppValue> asked = SettingValuesOf(
        [job](const char* name) { return papplJobGetAttribute(job, name); });
    const MappedSettings mapped = ApplyIppValues(base, asked);
    for (const std::string& name : mapped.unmapped) {
      papplLogJob(job, PAPPL_LOGLEVEL_WARN, "'%s' has no value the printer takes; the default is used.",
                  name.c_str());
    }
    transport::JobComments comments =
        CommentsOf(papplJobGetUsername(job), origin != nullptr ? origin->hostName.c_str() : nullptr);
    if (origin != nullptr && origin->address) comments.address = *origin->address;
    std::vector<std::string> pieces = transport::JobHeaderPieces(mapped.settings, comments, facts);
    job::WipeSecret(facts.passwordHex);
    for (std::string& piece : pieces) {
      if (sent) sent = sender.Write(piece);
      job::WipeSecret(piece);
    }
  }

  std::array<char, 65536> buffer{};
  while (sent && !papplJobIsCanceled(job)) {
    const ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Unable to read the job's file: %s", strerror(errno));
      sent = false;
    }
    if (got <= 0) break;
    sent = sender.Write(buffer.data(), static_cast<std::size_t>(got));
  }
  close(fd);
  if (!sent || papplJobIsCanceled(job)) return false;

  if (!sender.Write(transport::PjlJobClosing(pjlName))) return false;
  papplDeviceFlush(device);
  transport::PjlJobStatus status(pjlName);
  if (!AwaitEnd(job, device, status)) {
    ConnectionLost(job, "reset the connection before it told the job's end");
    return false;
  }
  papplPrinterSetReasons(papplJobGetPrinter(job), PAPPL_PREASON_NONE, PAPPL_PREASON_OFFLINE);
  if (status.Completed()) {
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "The printer ended the job.");
    if (status.Pages() > 0) papplJobSetImpressions(job, status.Pages());
    papplJobSetImpressionsCompleted(job, status.Pages() > 0 ? status.Pages() : 1);
    return true;
  }
  if (!status.Reason().empty()) {
    papplJobSetMessage(job, "The printer did not print it: %s", status.Reason().c_str());
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The printer did not print the job: %s",
                status.Reason().c_str());
    return false;
  }
  papplJobSetMessage(job, "Sent; the printer did not confirm the job's end.");
  papplLogJob(job, PAPPL_LOGLEVEL_WARN, "The printer did not confirm the job's end.");
  papplJobSetImpressionsCompleted(job, 1);
  return true;
}

// A document of no format the printer takes; PDF and TIFF go through
// their filters.
bool PrintFile(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*) {
  papplJobSetMessage(job, "Not a PDF or TIFF document.");
  papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The document is no PDF or TIFF ('%s'); nothing was sent.",
              papplJobGetFormat(job));
  return false;
}

// A raster job's pages (PWG raster, URF, JPEG, PNG, as PAPPL gives them):
// written as a PDF into an unlinked file of the spool, then sent as a PDF
// job. PAPPL runs a job's raster calls on the job's own thread. PAPPL
// repeats an image's page for each copy, under the same page number: the
// PDF takes it once, and the header's copies make the rest.
struct RasterJob {
  RasterJob(std::FILE* out) : file(out), writer(out) {}
  RasterJob(const RasterJob&) = delete;
  RasterJob& operator=(const RasterJob&) = delete;
  ~RasterJob() { std::fclose(file); }

  std::FILE* file;
  RasterPdfWriter writer;
  unsigned lastPage = 0;
  bool repeat = false;  // the page being given is one already written
};
thread_local std::unique_ptr<RasterJob> rasterJob;

bool RasterFailed(pappl_job_t* job, const std::string& why) {
  papplJobSetMessage(job, "The raster could not be made a PDF: %s.", why.c_str());
  papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "The raster could not be made a PDF: %s.", why.c_str());
  rasterJob.reset();
  return false;
}

bool StartRasterJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*) {
  rasterJob.reset();
  const char* spooled = papplJobGetFilename(job);
  const std::string spool = spooled != nullptr && std::strrchr(spooled, '/') != nullptr
                                ? std::string(spooled, std::strrchr(spooled, '/'))
                                : std::string(P_tmpdir);
  std::string name = spool + "/raster-XXXXXX";
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return RasterFailed(job, std::string("no file in the spool: ") + strerror(errno));
  unlink(name.c_str());
  std::FILE* out = fdopen(fd, "w+b");
  if (out == nullptr) {
    close(fd);
    return RasterFailed(job, strerror(errno));
  }
  rasterJob = std::make_unique<RasterJob>(out);
  return true;
}

bool StartRasterPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned number) {
  if (!rasterJob) return false;
  rasterJob->repeat = rasterJob->lastPage != 0 && number <= rasterJob->lastPage;
  if (rasterJob->repeat) return true;
  rasterJob->lastPage = number;
  const cups_page_header2_t& header = options->header;
  RasterPage page;
  page.width = header.cupsWidth;
  page.height = header.cupsHeight;
  page.xDpi = header.HWResolution[0];
  page.yDpi = header.HWResolution[1];
  page.bitsPerComponent = header.cupsBitsPerColor;
  switch (header.cupsColorSpace) {
    case CUPS_CSPACE_SRGB:
    case CUPS_CSPACE_RGB:
    case CUPS_CSPACE_ADOBERGB: page.components = 3; break;
    case CUPS_CSPACE_SW:
    case CUPS_CSPACE_W: page.components = 1; break;
    case CUPS_CSPACE_K:
      page.components = 1;
      page.zeroIsWhite = true;
      break;
    default: break;
  }
  if (RasterLineBytes(page) != header.cupsBytesPerLine) {
    return RasterFailed(job, "a colour space, depth or line length the PDF does not take (" +
                                 std::to_string(header.cupsBitsPerColor) + " bits, space " +
                                 std::to_string(static_cast<int>(header.cupsColorSpace)) + ")");
  }
  return rasterJob->writer.StartPage(page) || RasterFailed(job, rasterJob->writer.Error());
}

bool WriteRasterLine(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned,
                     const unsigned char* line) {
  if (!rasterJob) return false;
  if (rasterJob->repeat) return true;
  return rasterJob->writer.WriteLine(line) || RasterFailed(job, rasterJob->writer.Error());
}

bool EndRasterPage(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned) {
  if (!rasterJob) return false;
  if (rasterJob->repeat) return true;
  return rasterJob->writer.EndPage() || RasterFailed(job, rasterJob->writer.Error());
}

bool EndRasterJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device) {
  if (!rasterJob) return false;
  if (!rasterJob->writer.Finish()) return RasterFailed(job, rasterJob->writer.Error());
  const int fd = dup(fileno(rasterJob->file));
  rasterJob.reset();
  if (fd < 0) return RasterFailed(job, strerror(errno));
  return SendDocument(job, device, true, fd);
}

}  // namespace

void SetEndWait(int seconds) { endWaitSeconds = seconds; }

bool PdfWillPrint(pappl_job_t* job, JobOrigin& origin) {
  const char* path = papplJobGetFilename(job);
  if (path == nullptr) return false;
  transport::JobHeaderFacts facts;
  facts.fileName = DocumentNameOfJob(job, &origin);
  const bool prints = PasswordFacts(job, path, &origin, facts, true);
  job::WipeSecret(facts.passwordHex);
  return prints;
}

bool SendPdf(pappl_job_t* job, pappl_device_t* device, void*) {
  papplJobSetImpressions(job, 1);
  return SendDocument(job, device, true);
}

bool SendTiff(pappl_job_t* job, pappl_device_t* device, void*) {
  papplJobSetImpressions(job, 1);
  return SendDocument(job, device, false);
}

const char* TypeOfContent(const unsigned char* header, size_t size, void*) {
  if (size >= 4 && (std::memcmp(header, "II*\0", 4) == 0 || std::memcmp(header, "MM\0*", 4) == 0)) {
    return "image/tiff";
  }
  return nullptr;
}

bool DriverCallback(pappl_system_t* system, const char* driverName, const char* deviceUri,
                    const char*, pappl_pr_driver_data_t* data, ipp_t** attrs, void*) {
  if (driverName == nullptr || std::strcmp(driverName, kDriverName) != 0) return false;
  std::string cause;
  if (deviceUri == nullptr || !transport::ParseSocketName(deviceUri, cause)) {
    papplLog(system, PAPPL_LOGLEVEL_ERROR, "'%s' is no printer at socket://HOST[:PORT]%s%s",
             deviceUri != nullptr ? deviceUri : "", cause.empty() ? "" : ": ", cause.c_str());
    return false;
  }

  data->printfile_cb = PrintFile;
  data->rstartjob_cb = StartRasterJob;
  data->rstartpage_cb = StartRasterPage;
  data->rendpage_cb = EndRasterPage;
  data->rendjob_cb = EndRasterJob;
  data->rwriteline_cb = WriteRasterLine;
  // The filters give the formats: PAPPL names PDF the preferred one only
  // when a filter takes it.
  data->format = "application/octet-stream";
  std::snprintf(data->make_and_model, sizeof(data->make_and_model), "Pagewire PJL printer");
  data->ppm = 20;
  data->ppm_color = 20;
  data->kind = PAPPL_KIND_DOCUMENT;
  data->color_supported = PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_COLOR | PAPPL_COLOR_MODE_MONOCHROME;
  data->color_default = PAPPL_COLOR_MODE_AUTO;
  data->quality_default = IPP_QUALITY_NORMAL;
  data->scaling_default = PAPPL_SCALING_AUTO;
  data->raster_types = static_cast<pappl_raster_type_t>(
      PAPPL_PWG_RASTER_TYPE_BLACK_1 | PAPPL_PWG_RASTER_TYPE_SGRAY_8 | PAPPL_PWG_RASTER_TYPE_SRGB_8);
  data->duplex = PAPPL_DUPLEX_NORMAL;
  data->sides_supported =
      PAPPL_SIDES_ONE_SIDED | PAPPL_SIDES_TWO_SIDED_LONG_EDGE | PAPPL_SIDES_TWO_SIDED_SHORT_EDGE;
  data->sides_default = PAPPL_SIDES_ONE_SIDED;
  // Raster clients choose; PAPPL renders an image at 300 dpi for draft
  // quality, else at 600.
  data->num_resolution = 2;
  data->x_resolution[0] = data->y_resolution[0] = 300;
  data->x_resolution[1] = data->y_resolution[1] = 600;
  data->x_default = data->y_default = 600;
  data->left_right = data->bottom_top = 423;
  data->num_media = 1;
  data->media[0] = kMediaA4;
  data->num_source = 1;
  data->source[0] = "auto";
  data->num_type = 1;
  data->type[0] = "stationery";
  pappl_media_col_t& media = data->media_default;
  std::snprintf(media.size_name, sizeof(media.size_name), "%s", kMediaA4);
  media.size_width = 21000;
  media.size_length = 29700;
  media.left_margin = media.right_margin = media.top_margin = media.bottom_margin = 423;
  std::snprintf(media.source, sizeof(media.source), "auto");
  std::snprintf(media.type, sizeof(media.type), "stationery");
  data->media_ready[0] = media;

  data->num_vendor = 3;
  data->vendor[0] = "number-up";
  data->vendor[1] = "pagewire-key-mode";
  data->vendor[2] = "pagewire-mac-address";
  ipp_t* extra = ippNew();
  static const int kNumberUp[] = {1, 2, 4};
  ippAddInteger(extra, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "number-up-default", 1);
  ippAddIntegers(extra, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "number-up-supported", 3, kNumberUp);
  static const char* const kKeyModes[] = {"fixed-key", "mac-address"};
  ippAddString(extra, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "pagewire-key-mode-default", nullptr,
               kKeyModes[0]);
  ippAddStrings(extra, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "pagewire-key-mode-supported", 2, nullptr,
                kKeyModes);
  ippAddString(extra, IPP_TAG_PRINTER, IPP_TAG_TEXT, "pagewire-mac-address-default", nullptr, "");
  *attrs = extra;
  return true;
}

}  // namespace pagewire::server
