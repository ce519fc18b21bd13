#include "server/hotfolder_service.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "hotfolder/folder_files.h"
#include "hotfolder/folder_settings.h"
#include "hotfolder/hot_folder.h"
#include "server/folder_command.h"
#include "server/job_origin.h"
#include "server/job_origins.h"
#include "server/pagewire_printer.h"
#include "server/request_hook.h"

// PAPPL 1.3.1's papplJobCreateWithFile turns its options into printer
// *-default attributes, which the job then drops; its own job creation
// takes job attributes, job-hold-until among them. Exported, not declared.
extern "C" {
pappl_job_t* _papplJobCreate(pappl_printer_t* printer, int job_id, const char* username,
                             const char* format, const char* job_name, ipp_t* attrs);
void _papplJobSubmitFile(pappl_job_t* job, const char* filename);
}

namespace pagewire::server {
namespace {

using hotfolder::HotFolder;

// How long the watcher waits for a started job to leave the pending state,
// and for its printer to be free again, before it looks elsewhere.
constexpr auto kStartWait = std::chrono::seconds(2);
constexpr auto kFreeWait = std::chrono::seconds(2);
constexpr int kWakeMs = 50;
// PAPPL 1.3's job end goes on after it shows the printer idle: it may close
// the device and checks the jobs again, and a job released meanwhile is
// started twice or loses its device. A release waits this long once the
// printer is idle.
constexpr auto kAfterJobEnd = std::chrono::milliseconds(15);

struct JobKey {
  std::string printer;
  int id;
  bool operator<(const JobKey& other) const {
    return printer != other.printer ? printer < other.printer : id < other.id;
  }
};

struct Service {
  pappl_system_t* system = nullptr;
  std::string stateFolder, foldersFile, spool;
  std::mutex mutex;  // folders and jobs
  std::vector<std::shared_ptr<HotFolder>> folders;
  std::vector<std::string> configErrors;
  std::map<JobKey, std::pair<std::shared_ptr<HotFolder>, std::string>> jobs;
  // Every folder's engine while anything holds it (the watcher's only).
  std::map<std::string, std::weak_ptr<HotFolder>> byPath;
  std::timespec loaded{};
  bool everLoaded = false;
  std::function<void()> eachRound;
  std::atomic<bool> stopping{false};
  std::thread watcher;
};
Service* service = nullptr;

std::time_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Reads the folder file again when it changed; folders kept are kept
// running, with their state.
void Reload(Service& s) {
  struct stat info {};
  const bool exists = stat(s.foldersFile.c_str(), &info) == 0;
  if (s.everLoaded && exists && info.st_mtim.tv_sec == s.loaded.tv_sec &&
      info.st_mtim.tv_nsec == s.loaded.tv_nsec) {
    return;
  }
  if (s.everLoaded && !exists && s.loaded.tv_sec == 0) return;
  s.everLoaded = true;
  s.loaded = exists ? info.st_mtim : std::timespec{};
  std::vector<hotfolder::FolderSettings> wanted;
  std::string text, error;
  if (exists && (!hotfolder::ReadSmallFile(s.foldersFile, text, error) ||
                 !hotfolder::ParseFolders(text, wanted, error))) {
    papplLog(s.system, PAPPL_LOGLEVEL_ERROR, "Hot folders: %s", error.c_str());
    return;
  }
  std::vector<std::shared_ptr<HotFolder>> next;
  std::vector<std::string> errors;
  for (const hotfolder::FolderSettings& settings : wanted) {
    // One engine per folder for as long as it has files under way: a
    // second one would take the first one's jobs for a crash's.
    std::shared_ptr<HotFolder> kept = s.byPath[settings.path].lock();
    if (kept) {
      kept->Update(settings);
    } else {
      kept = std::make_shared<HotFolder>(settings);
      if (InsideRemovedFolders(settings.path, {papplGetTempDir(), s.spool}, error) || !kept->Start(error)) {
        errors.push_back(settings.path + ": " + error);
        papplLog(s.system, PAPPL_LOGLEVEL_ERROR, "Hot folder %s: %s", settings.path.c_str(), error.c_str());
        continue;
      }
      s.byPath[settings.path] = kept;
      papplLog(s.system, PAPPL_LOGLEVEL_INFO, "Hot folder %s prints on %s.", settings.path.c_str(),
               settings.printer.c_str());
    }
    next.push_back(kept);
  }
  std::lock_guard lock(s.mutex);
  s.folders = std::move(next);
  s.configErrors = std::move(errors);
}

pappl_printer_t* PrinterNamed(pappl_system_t* system, const std::string& name) {
  struct Find {
    const std::string* name;
    pappl_printer_t* found;
  } find{&name, nullptr};
  papplSystemIteratePrinters(
      system,
      [](pappl_printer_t* printer, void* data) {
        auto* f = static_cast<Find*>(data);
        if (*f->name == papplPrinterGetName(printer)) f->found = printer;
      },
      &find);
  return find.found;
}

// PAPPL 1.3 starts the first pending job again when it is asked to check
// its jobs before that job's thread began: a job is released only to a
// printer that runs none and has none to start. The IPP jobs go first.
bool Free(pappl_printer_t* printer) {
  const PrinterLoad load = LoadOf(printer);
  return load.running == 0 && load.checked == 0 && papplPrinterGetState(printer) == IPP_PSTATE_IDLE;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= until || service->stopping) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void AddJobAttribute(ipp_t* attrs, const std::string& name, const std::string& value) {
  const char* text = value.c_str();
  if (name == "copies" || name == "number-up" || name == "print-quality") {
    ippAddInteger(attrs, IPP_TAG_JOB, name == "print-quality" ? IPP_TAG_ENUM : IPP_TAG_INTEGER,
                  name.c_str(), std::atoi(text));
  } else if (name == "page-ranges") {
    int lower = 1, upper = 1;
    if (std::sscanf(text, "%d-%d", &lower, &upper) == 1) upper = lower;
    ippAddRange(attrs, IPP_TAG_JOB, name.c_str(), lower, upper);
  } else {
    ippAddString(attrs, IPP_TAG_JOB, IPP_TAG_KEYWORD, name.c_str(), nullptr, text);
  }
}

// The folder's password: the first line of its file, which must be closed
// to others.
bool ReadPassword(const std::string& path, std::string& password, std::string& error) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || (info.st_mode & 077) != 0 || info.st_uid != geteuid()) {
    error = "the folder's password file " + path + " is missing or readable by others";
    return false;
  }
  if (!hotfolder::ReadSmallFile(path, password, error)) return false;
  const std::size_t end = password.find_first_of("\r\n");
  if (end != std::string::npos) {
    job::WipeSecret(password.data() + end, password.size() - end);
    password.resize(end);
  }
  return true;
}

// Makes the file a held job, records it, then lets it print.
void Submit(Service& s, pappl_printer_t* printer, const std::shared_ptr<HotFolder>& folder,
            const hotfolder::ClaimedFile& file) {
  const hotfolder::FolderSettings settings = folder->Settings();
  const std::string& name = file.arrival.name;
  auto origin = std::make_shared<JobOrigin>();
  origin->documentName = name;
  char host[256] = "";
  if (gethostname(host, sizeof(host) - 1) == 0) origin->hostName = host;
  const bool pdf = file.kind == hotfolder::Kind::Pdf;
  const bool withPassword = pdf && !settings.passwordFile.empty();
  if (withPassword) {
    std::string password, error;
    if (!ReadPassword(settings.passwordFile, password, error)) {
      folder->Failed(name, error);
      return;
    }
    origin->password = std::move(password);
  }
  ipp_t* attrs = ippNew();
  for (const auto& [attribute, value] : settings.job) AddJobAttribute(attrs, attribute, value);
  ippAddString(attrs, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-hold-until", nullptr, "indefinite");
  // PAPPL keeps the job name's pointer: this one, from libcups' string
  // pool, lives on in the job's copy of its attributes.
  const char* jobName =
      ippGetString(ippAddString(attrs, IPP_TAG_JOB, IPP_TAG_NAME, "job-name", nullptr, name.c_str()), 0, nullptr);
  const char* format = pdf                                      ? "application/pdf"
                       : file.kind == hotfolder::Kind::Tiff ? "image/tiff"
                                                                : "application/octet-stream";
  SetPendingOrigin(std::move(origin));
  pappl_job_t* job = _papplJobCreate(printer, 0, settings.user.c_str(), format, jobName, attrs);
  ippDelete(attrs);
  SetPendingOrigin(nullptr);
  if (job == nullptr) {
    folder->GiveBack(name, "the service could not make a job");
    return;
  }
  const int id = papplJobGetID(job);
  const JobKey key{papplPrinterGetName(printer), id};
  {
    std::lock_guard lock(s.mutex);
    s.jobs[key] = {folder, name};
  }
  if (!folder->Sending(name, id)) {
    {
      std::lock_guard lock(s.mutex);
      s.jobs.erase(key);
    }
    papplJobCancel(job);
    folder->GiveBack(name, "its job could not be recorded");
    return;
  }
  _papplJobSubmitFile(job, file.path.c_str());
  const std::shared_ptr<JobOrigin> kept = OriginOf(job);
  if (pdf && kept != nullptr && !PdfWillPrint(job, *kept)) {
    if (withPassword) {
      papplJobCancel(job);  // its end fails the file with the job's message
    } else {
      folder->Tell(name + ": held for its document password (job " + std::to_string(id) + ")");
    }
    return;
  }
  papplJobRelease(job, nullptr);
  WaitFor([job] { return papplJobGetState(job) != IPP_JSTATE_PENDING; }, kStartWait);
}

void SubmitReady(Service& s) {
  std::vector<std::shared_ptr<HotFolder>> folders;
  {
    std::lock_guard lock(s.mutex);
    folders = s.folders;
  }
  std::map<std::string, std::vector<std::shared_ptr<HotFolder>>> byPrinter;
  for (const auto& folder : folders) byPrinter[folder->Settings().printer].push_back(folder);
  for (const auto& [name, printerFolders] : byPrinter) {
    pappl_printer_t* printer = PrinterNamed(s.system, name);
    if (printer == nullptr) continue;
    for (int round = 0; round < 64 && !s.stopping && !papplSystemIsShutdown(s.system); ++round) {
      // Checked IPP jobs are released by this thread's next round.
      if (!WaitFor([printer] { return Free(printer) || LoadOf(printer).checked > 0; }, kFreeWait) ||
          LoadOf(printer).checked > 0) {
        break;
      }
      std::this_thread::sleep_for(kAfterJobEnd);
      if (!Free(printer)) continue;
      std::shared_ptr<HotFolder> oldest;
      std::optional<hotfolder::ClaimedFile> file;
      for (const auto& folder : printerFolders) {
        std::optional<hotfolder::ClaimedFile> next = folder->Next();
        if (next && (!file || next->arrival < file->arrival)) {
          file = std::move(next);
          oldest = folder;
        }
      }
      if (!file) break;
      Submit(s, printer, oldest, *file);
    }
  }
}

void Watch(Service& s) {
  while (!s.stopping && !papplSystemIsRunning(s.system)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  while (!s.stopping && papplSystemIsRunning(s.system) && !papplSystemIsShutdown(s.system)) {
    Reload(s);
    std::vector<std::shared_ptr<HotFolder>> folders;
    {
      std::lock_guard lock(s.mutex);
      folders = s.folders;
    }
    std::vector<pollfd> fds;
    for (const auto& folder : folders) {
      if (folder->EventsFd() >= 0) fds.push_back({folder->EventsFd(), POLLIN, 0});
    }
    poll(fds.data(), fds.size(), kWakeMs);
    const std::time_t now = Now();
    for (const auto& folder : folders) folder->Tick(now);
    s.eachRound();
    SubmitReady(s);
  }
}

}  // namespace

void StartHotFolders(pappl_system_t* system, const std::string& stateFolder,
                     std::function<void()> eachRound) {
  service = new Service;  // lives as long as the process
  service->system = system;
  service->eachRound = std::move(eachRound);
  service->stateFolder = stateFolder;
  service->foldersFile = hotfolder::FoldersFileIn(stateFolder);
  service->spool = stateFolder + "/spool";
  service->watcher = std::thread([] { Watch(*service); });
}

void StopHotFolders() {
  if (service == nullptr || !service->watcher.joinable()) return;
  service->stopping = true;
  service->watcher.join();
}

void HotFolderJobEvent(pappl_job_t* job, pappl_event_t event) {
  if (service == nullptr || !(event & PAPPL_EVENT_JOB_COMPLETED)) return;
  const JobKey key{papplPrinterGetName(papplJobGetPrinter(job)), papplJobGetID(job)};
  std::pair<std::shared_ptr<HotFolder>, std::string> found;
  {
    std::lock_guard lock(service->mutex);
    auto it = service->jobs.find(key);
    if (it == service->jobs.end()) return;
    found = std::move(it->second);
    service->jobs.erase(it);
  }
  const char* message = papplJobGetMessage(job);
  const std::string said = message != nullptr ? message : "";
  switch (papplJobGetState(job)) {
    case IPP_JSTATE_COMPLETED:
      found.first->Printed(found.second, key.id,
                           said.empty() ? "printed, " + std::to_string(papplJobGetImpressionsCompleted(job)) +
                                              " impressions"
                                        : said);
      break;
    case IPP_JSTATE_CANCELED:
      found.first->Failed(found.second, said.empty() ? "its job was canceled" : "canceled: " + said);
      break;
    default:
      found.first->Failed(found.second, said.empty() ? "its job was aborted" : said);
      break;
  }
}

ServedFolders CurrentHotFolders() {
  ServedFolders served;
  if (service == nullptr) return served;
  std::lock_guard lock(service->mutex);
  served.folders = service->folders;
  served.errors = service->configErrors;
  served.stateFolder = service->stateFolder;
  return served;
}

}  // namespace pagewire::server
