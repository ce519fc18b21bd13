#include "hotfolder/hot_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

#include "hotfolder/recovery.h"

namespace pagewire::hotfolder {
namespace {

// The most files of a folder looked at in one scan (the oldest): memory
// does not grow with the files waiting.
constexpr std::size_t kScanWindow = 1024;
// Without events: a look this often anyway; on a network file system, a
// poll this often.
constexpr std::time_t kRescanSeconds = 30;
constexpr std::time_t kPollSeconds = 2;
constexpr std::time_t kPruneSeconds = 3600;
constexpr std::size_t kKeptErrors = 5;
// Where a PDF's end of file marker must be: a PDF without it is not
// complete yet.
constexpr off_t kPdfTailBytes = 1024;
// A PDF left this many settle times unchanged and closed without its end
// marker is cut short: it fails instead of waiting for ever.
constexpr int kSettlesWithoutEnd = 20;

bool SameTime(const std::timespec& a, const std::timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool ReadAt(int fd, off_t offset, std::size_t count, std::string& bytes) {
  bytes.resize(count);
  const ssize_t got = pread(fd, bytes.data(), count, offset);
  if (got < 0) return false;
  bytes.resize(static_cast<std::size_t>(got));
  return true;
}

}  // namespace

bool Arrival::operator<(const Arrival& other) const {
  if (mtime.tv_sec != other.mtime.tv_sec) return mtime.tv_sec < other.mtime.tv_sec;
  if (mtime.tv_nsec != other.mtime.tv_nsec) return mtime.tv_nsec < other.mtime.tv_nsec;
  return name < other.name;
}

HotFolder::HotFolder(FolderSettings settings)
    : settings_(std::move(settings)), layout_(settings_.path) {}

FolderSettings HotFolder::Settings() {
  std::lock_guard lock(mutex_);
  return settings_;
}

void HotFolder::Update(const FolderSettings& settings) {
  std::lock_guard lock(mutex_);
  if (settings.path == settings_.path) settings_ = settings;
}

HotFolder::~HotFolder() {
  if (events_ >= 0) close(events_);
}

bool HotFolder::Start(std::string& error) {
  std::lock_guard lock(mutex_);
  if (!PrepareLayout(layout_, error)) return false;
  if (!journal_.Open(layout_.journal, layout_.work, error)) return false;
  polled_ = NeedsPolling(layout_.folder);
  if (!polled_) {
    events_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (events_ >= 0 &&
        inotify_add_watch(events_, layout_.folder.c_str(),
                          IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MODIFY | IN_ATTRIB) < 0) {
      close(events_);
      events_ = -1;
    }
    polled_ = events_ < 0;
  }
  Recover();
  return true;
}

void HotFolder::Record(Step step, const std::string& name, int jobId, const std::string& detail) {
  std::string error;
  if (!journal_.Append({step, name, jobId, detail}, error)) {
    journalBroken_ = true;
    NoteError(error);
  } else {
    journalBroken_ = false;
  }
}

void HotFolder::Tell(const std::string& error) {
  std::lock_guard lock(mutex_);
  NoteError(error);
}

void HotFolder::NoteError(const std::string& error) {
  // A move tried again on each tick says so once.
  if (!errors_.empty() && errors_.back() == error) return;
  errors_.push_back(error);
  while (errors_.size() > kKeptErrors) errors_.pop_front();
  std::string text;
  for (const std::string& line : errors_) text += line + "\n";
  std::string ignored;
  WriteTextFile(layout_.errors, text, ignored);
}

void HotFolder::ReturnToFolder(const std::string& name) {
  std::string placed, error;
  if (!MoveFile(layout_.processing, name, layout_.folder, "", placed, error)) {
    NoteError(error);
    return;
  }
  Record(Step::Returned, name, 0, "");
}

void HotFolder::Recover() {
  const OpenRecords open = journal_.Open();
  for (const auto& [name, record] : open) {
    struct stat info {};
    const std::string path = layout_.processing + "/" + name;
    const Found where = lstat(path.c_str(), &info) == 0 ? Found::Processing : Found::Elsewhere;
    Entry entry;
    entry.file.arrival = {info.st_mtim, name};
    entry.file.path = path;
    entry.jobId = record.jobId;
    switch (RecoveryFor(record.step, where)) {
      case Recovery::ReturnToFolder:
        ReturnToFolder(name);
        break;
      case Recovery::FailMayHavePrinted:
        NoteError(name + ": " + kMayHavePrinted + " (job " + std::to_string(record.jobId) +
                  " was under way at a stop); not sent again");
        entry.state = State::Failing;
        entry.detail = kMayHavePrinted;
        Record(Step::Failed, name, record.jobId, entry.detail);
        entries_[name] = entry;
        break;
      case Recovery::MoveToDone:
        entry.state = State::Sent;
        entry.detail = record.detail;
        entries_[name] = entry;
        break;
      case Recovery::FinishFailed:
        entry.state = State::Failing;
        entry.detail = record.detail;
        entries_[name] = entry;
        break;
      case Recovery::EndRecord:
        Record(Step::Done, name, record.jobId, "");
        break;
      case Recovery::Nothing:
        break;
    }
  }
  for (auto it = entries_.begin(); it != entries_.end();) {
    it = Archive(it->second) ? entries_.erase(it) : std::next(it);
  }
  // Files in processing/ that have no record: claimed, not recorded.
  std::vector<std::string> unrecorded;
  if (std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(layout_.processing.c_str()), closedir); dir) {
    while (const dirent* item = readdir(dir.get())) {
      const std::string name = item->d_name;
      if (name == "." || name == ".." || entries_.count(name) || journal_.Open().count(name)) continue;
      unrecorded.push_back(name);
    }
  }
  for (const std::string& name : unrecorded) {
    if (RecoveryFor(std::nullopt, Found::Processing) == Recovery::ReturnToFolder) ReturnToFolder(name);
  }
}

// Printed or failed: into done/ or failed/ (with NAME.reason), then the
// record ends. False when the move must be tried again.
bool HotFolder::Archive(Entry& entry) {
  const std::string& name = entry.file.arrival.name;
  const bool printed = entry.state == State::Sent;
  std::string placed, error;
  const std::string& to = printed ? layout_.done : layout_.failed;
  if (!MoveFile(layout_.processing, name, to, printed ? "" : ".reason", placed, error)) {
    struct stat info {};
    if (lstat(entry.file.path.c_str(), &info) != 0 && errno == ENOENT) {
      NoteError(name + ": gone from processing/ before it was archived");
      Record(Step::Done, name, entry.jobId, "");
      return true;
    }
    NoteError(name + ": " + (printed ? "printed, but " : "") + error + "; kept in processing/, tried again");
    return false;
  }
  if (!printed) {
    std::string reasonError;
    if (!WriteTextFile(to + "/" + placed + ".reason", entry.detail + "\n", reasonError)) {
      NoteError(name + ": failed (" + entry.detail + "), and " + reasonError);
    }
  }
  CrashPoint("archive");
  Record(Step::Done, name, entry.jobId, "");
  return true;
}

void HotFolder::Tick(std::time_t now) {
  std::lock_guard lock(mutex_);
  if (events_ >= 0) {
    std::array<char, 16384> buffer{};
    for (;;) {
      const ssize_t got = read(events_, buffer.data(), buffer.size());
      if (got <= 0) break;
      // Any event, an overflow (IN_Q_OVERFLOW) among them, asks for a look:
      // the listing says what is there.
      dirty_ = true;
    }
  }
  for (auto it = entries_.begin(); it != entries_.end();) {
    const bool ended = it->second.state == State::Sent || it->second.state == State::Failing;
    it = ended && Archive(it->second) ? entries_.erase(it) : std::next(it);
  }
  if (settings_.keepDays > 0 && now - lastPrune_ >= kPruneSeconds) {
    lastPrune_ = now;
    const std::time_t before = std::time(nullptr) - static_cast<std::time_t>(settings_.keepDays) * 86400;
    PruneOlderThan(layout_.done, before);
    PruneOlderThan(layout_.failed, before);
  }
  const bool room = Unsent() < settings_.claimAhead;
  bool due = dirty_ || now - lastScan_ >= (polled_ ? kPollSeconds : kRescanSeconds);
  for (const auto& [name, look] : looks_) due = due || now - look.seen >= settings_.settleSeconds;
  if (room && waiting_ > static_cast<int>(looks_.size())) due = true;
  if (due && room) Scan(now);
}

int HotFolder::Unsent() const {
  int count = 0;
  for (const auto& [name, entry] : entries_) count += entry.state == State::Claimed ? 1 : 0;
  return count;
}

void HotFolder::Scan(std::time_t now) {
  dirty_ = false;
  lastScan_ = now;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(layout_.folder.c_str()), closedir);
  if (!dir) {
    NoteError("cannot read the folder " + layout_.folder + ": " + std::strerror(errno));
    return;
  }
  std::set<Arrival> oldest;
  std::map<Arrival, off_t> sizes;
  int waiting = 0;
  while (const dirent* item = readdir(dir.get())) {
    const std::string_view name(item->d_name);
    if (IsIgnoredName(name)) continue;
    struct stat info {};
    if (fstatat(dirfd(dir.get()), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
      continue;
    }
    ++waiting;
    Arrival arrival{info.st_mtim, std::string(name)};
    if (oldest.size() == kScanWindow && !(arrival < *oldest.rbegin())) continue;
    sizes[arrival] = info.st_size;
    oldest.insert(std::move(arrival));
    if (oldest.size() > kScanWindow) {
      sizes.erase(*oldest.rbegin());
      oldest.erase(std::prev(oldest.end()));
    }
  }
  dir.reset();
  waiting_ = waiting;

  std::map<std::string, Look> looks;
  std::vector<Arrival> ready;
  for (const Arrival& arrival : oldest) {
    const off_t size = sizes[arrival];
    auto known = looks_.find(arrival.name);
    if (known != looks_.end() && known->second.size == size && SameTime(known->second.mtime, arrival.mtime)) {
      looks[arrival.name] = known->second;
      if (now - known->second.seen >= settings_.settleSeconds) ready.push_back(arrival);
    } else {
      looks[arrival.name] = {size, arrival.mtime, now, now};
    }
  }
  looks_ = std::move(looks);
  for (const Arrival& arrival : ready) {
    if (Unsent() >= settings_.claimAhead || journalBroken_) break;
    TryClaim(arrival, now);
  }
}

void HotFolder::RejectFromFolder(const std::string& name, const std::string& reason) {
  std::string placed, error;
  looks_.erase(name);
  if (!MoveFile(layout_.folder, name, layout_.failed, ".reason", placed, error)) {
    NoteError(name + ": " + reason + "; " + error);
    return;
  }
  --waiting_;
  if (!WriteTextFile(layout_.failed + "/" + placed + ".reason", reason + "\n", error)) {
    NoteError(name + ": " + reason + "; " + error);
  }
  NoteError(name + ": " + reason);
}

void HotFolder::TryClaim(const Arrival& arrival, std::time_t now) {
  const std::string& name = arrival.name;
  const std::string path = layout_.folder + "/" + name;
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) RejectFromFolder(name, std::string("cannot be read: ") + std::strerror(errno));
    return;
  }
  struct stat info {};
  std::string head, tail;
  const bool read = fstat(fd, &info) == 0 && ReadAt(fd, 0, 8, head) &&
                    ReadAt(fd, info.st_size > kPdfTailBytes ? info.st_size - kPdfTailBytes : 0,
                           static_cast<std::size_t>(kPdfTailBytes), tail);
  const int cause = errno;
  const Writers writers = read ? WritersOf(fd) : Writers::Unknown;
  close(fd);
  if (!read) {
    RejectFromFolder(name, std::string("cannot be read: ") + std::strerror(cause));
    return;
  }
  Look& look = looks_[name];
  if (writers == Writers::Open || info.st_size != look.size || !SameTime(info.st_mtim, look.mtime)) {
    look = {info.st_size, info.st_mtim, now, now};  // still being written: look again later
    return;
  }
  const Kind kind = KindOf(head);
  if (kind == Kind::Empty) {
    RejectFromFolder(name, "empty file: nothing to print");
    return;
  }
  if (kind == Kind::Other && !settings_.allowOtherFormats) {
    RejectFromFolder(name, "not a PDF or TIFF file");
    return;
  }
  // A PDF is complete once its end marker is written; until then it waits.
  if (kind == Kind::Pdf && tail.find("%%EOF") == std::string::npos) {
    if (now - look.since >= static_cast<std::time_t>(kSettlesWithoutEnd) * settings_.settleSeconds) {
      RejectFromFolder(name, "incomplete PDF: no %%EOF in its last " + std::to_string(kPdfTailBytes) +
                                 " bytes, unchanged for " + std::to_string(now - look.since) + " s");
      return;
    }
    look.seen = now;
    return;
  }
  std::string placed, error;
  if (!MoveFile(layout_.folder, name, layout_.processing, "", placed, error)) {
    NoteError(name + ": " + error);
    return;
  }
  looks_.erase(name);
  --waiting_;
  CrashPoint("claim");
  Entry entry;
  entry.file = {{arrival.mtime, placed}, kind, layout_.processing + "/" + placed};
  Record(Step::Claimed, placed, 0, "");
  if (journalBroken_) {
    // Not recorded: nothing may follow from the claim.
    ReturnToFolder(placed);
    return;
  }
  entries_[placed] = std::move(entry);
}

std::optional<ClaimedFile> HotFolder::Next() {
  std::lock_guard lock(mutex_);
  const Entry* best = nullptr;
  for (const auto& [name, entry] : entries_) {
    if (entry.state == State::Claimed && (best == nullptr || entry.file.arrival < best->file.arrival)) {
      best = &entry;
    }
  }
  if (best == nullptr) return std::nullopt;
  return best->file;
}

bool HotFolder::Sending(const std::string& name, int jobId) {
  std::lock_guard lock(mutex_);
  auto it = entries_.find(name);
  if (it == entries_.end() || it->second.state != State::Claimed) return false;
  Record(Step::Sending, name, jobId, "");
  if (journalBroken_) return false;
  it->second.state = State::Sending;
  it->second.jobId = jobId;
  return true;
}

void HotFolder::Printed(const std::string& name, int jobId, const std::string& end) {
  std::lock_guard lock(mutex_);
  auto it = entries_.find(name);
  if (it == entries_.end() || it->second.state != State::Sending) return;
  Record(Step::Sent, name, jobId, end);
  it->second.state = State::Sent;
  it->second.detail = end;
  if (Archive(it->second)) entries_.erase(it);
}

void HotFolder::Failed(const std::string& name, const std::string& reason) {
  std::lock_guard lock(mutex_);
  auto it = entries_.find(name);
  if (it == entries_.end() || it->second.state == State::Sent) return;
  Record(Step::Failed, name, it->second.jobId, reason);
  it->second.state = State::Failing;
  it->second.detail = reason;
  NoteError(name + ": " + reason);
  if (Archive(it->second)) entries_.erase(it);
}

void HotFolder::GiveBack(const std::string& name, const std::string& why) {
  std::lock_guard lock(mutex_);
  auto it = entries_.find(name);
  if (it == entries_.end() || it->second.state != State::Claimed) return;
  NoteError(name + ": " + why + "; back in the folder");
  entries_.erase(it);
  ReturnToFolder(name);
}

FolderStatus HotFolder::Status() {
  std::lock_guard lock(mutex_);
  FolderStatus status;
  status.waiting = waiting_;
  status.processing = static_cast<int>(entries_.size());
  status.done = CountFiles(layout_.done);
  status.failed = CountFiles(layout_.failed);
  status.polled = polled_;
  status.errors.assign(errors_.begin(), errors_.end());
  return status;
}

}  // namespace pagewire::hotfolder
