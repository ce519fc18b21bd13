#include "hotfolder/journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hotfolder/folder_files.h"

#include "hotfolder/percent_text.h"

namespace pagewire::hotfolder {
namespace {

struct StepText {
  Step step;
  std::string_view name;
};
constexpr std::array<StepText, 6> kSteps = {{{Step::Claimed, "claimed"},
                                             {Step::Sending, "sending"},
                                             {Step::Sent, "sent"},
                                             {Step::Failed, "failed"},
                                             {Step::Returned, "returned"},
                                             {Step::Done, "done"}}};

// Records since the last compaction before the journal is rewritten.
constexpr std::size_t kCompactAfterLines = 4096;


bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

void Apply(OpenRecords& open, const Record& record) {
  if (record.step == Step::Done || record.step == Step::Returned) {
    open.erase(record.name);
  } else {
    open[record.name] = record;
  }
}

}  // namespace

std::string_view StepName(Step step) {
  for (const StepText& text : kSteps) {
    if (text.step == step) return text.name;
  }
  return "?";
}

std::optional<Step> StepNamed(std::string_view name) {
  for (const StepText& text : kSteps) {
    if (text.name == name) return text.step;
  }
  return std::nullopt;
}

std::string FormatRecord(const Record& record) {
  return std::string(StepName(record.step)) + '\t' + std::to_string(record.jobId) + '\t' +
         PercentEscaped(record.name) + '\t' + PercentEscaped(record.detail) + '\n';
}

std::optional<Record> ParseRecord(std::string_view line) {
  std::array<std::string_view, 4> fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t tab = line.find('\t');
    if (i + 1 < fields.size() && tab == std::string_view::npos) return std::nullopt;
    fields[i] = i + 1 < fields.size() ? line.substr(0, tab) : line;
    if (i + 1 < fields.size()) line.remove_prefix(tab + 1);
  }
  Record record;
  const std::optional<Step> step = StepNamed(fields[0]);
  const std::optional<std::string> name = PercentUnescaped(fields[2]);
  const std::optional<std::string> detail = PercentUnescaped(fields[3]);
  if (!step || !name || name->empty() || !detail) return std::nullopt;
  const std::string id(fields[1]);
  char* end = nullptr;
  const long value = std::strtol(id.c_str(), &end, 10);
  if (id.empty() || *end != '\0' || value < 0 || value > 1'000'000'000) return std::nullopt;
  record.step = *step;
  record.name = *name;
  record.jobId = static_cast<int>(value);
  record.detail = *detail;
  return record;
}

Journal::~Journal() {
  if (fd_ >= 0) close(fd_);
}

bool Journal::Open(const std::string& path, const std::string& folder, std::string& error) {
  path_ = path;
  folder_ = folder;
  open_.clear();
  lines_ = 0;
  std::string text;
  if (!ReadSmallFile(path, text, error) && errno != ENOENT) return false;
  error.clear();
  std::size_t start = 0;
  // A line without its newline was cut short by a crash: not kept.
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    if (const std::optional<Record> record = ParseRecord(std::string_view(text).substr(start, end - start))) {
      Apply(open_, *record);
    }
    ++lines_;
  }
  return Compact(error);
}

bool Journal::Append(const Record& record, std::string& error) {
  if (fd_ < 0 || !WriteAll(fd_, FormatRecord(record)) || fdatasync(fd_) != 0) {
    error = "cannot write the journal " + path_ + ": " + std::strerror(errno);
    return false;
  }
  Apply(open_, record);
  ++lines_;
  CrashPoint(StepName(record.step));
  // A journal that cannot be rewritten now still holds every record.
  std::string ignored;
  if (lines_ >= kCompactAfterLines) Compact(ignored);
  return true;
}

// Rewrites the journal as the open records alone: a new file, synced, then
// renamed over the old one and the folder synced.
bool Journal::Compact(std::string& error) {
  std::string text;
  for (const auto& [name, record] : open_) text += FormatRecord(record);
  const std::string fresh = path_ + ".new";
  const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const bool written = fd >= 0 && WriteAll(fd, text) && fsync(fd) == 0;
  const int cause = errno;
  if (fd >= 0) close(fd);
  if (!written || rename(fresh.c_str(), path_.c_str()) != 0 || !SyncFolder(folder_)) {
    error = "cannot rewrite the journal " + path_ + ": " + std::strerror(written ? errno : cause);
    unlink(fresh.c_str());
    // The old journal still holds every record: go on appending to it.
    if (fd_ < 0) fd_ = open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    return false;
  }
  if (fd_ >= 0) close(fd_);
  fd_ = open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  lines_ = open_.size();
  if (fd_ < 0) {
    error = "cannot open the journal " + path_ + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void CrashPoint(std::string_view point) {
  static const char* const kHook = std::getenv("PAGEWIRE_HOTFOLDER_CRASH_AFTER");
  if (kHook == nullptr || *kHook == '\0') return;
  static std::atomic<long> passed{0};
  const std::string_view hook(kHook);
  const std::size_t colon = hook.find(':');
  if (hook.substr(0, colon) != point) return;
  const long wanted = colon == std::string_view::npos ? 1 : std::atol(std::string(hook.substr(colon + 1)).c_str());
  if (++passed == wanted) kill(getpid(), SIGKILL);
}

}  // namespace pagewire::hotfolder
