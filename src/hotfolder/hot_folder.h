// One watched folder: finds the files that are ready, claims them by a
// rename into .pagewire/processing/ a bounded number ahead of the printer,
// records each step in the journal and archives each file in done/ or
// failed/ once its job ends. At its start it recovers from a crash by the
// recovery table. Thread-safe: the watcher looks and sends, a job's thread
// tells its end.
#pragma once

#include <ctime>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "hotfolder/file_checks.h"
#include "hotfolder/folder_files.h"
#include "hotfolder/folder_settings.h"
#include "hotfolder/journal.h"

namespace pagewire::hotfolder {

// Arrival order: modification time, then name.
struct Arrival {
  std::timespec mtime{};
  std::string name;
  bool operator<(const Arrival& other) const;
};

struct ClaimedFile {
  Arrival arrival;
  Kind kind = Kind::Other;
  std::string path;  // in processing/
};

struct FolderStatus {
  int waiting = 0, processing = 0, done = 0, failed = 0;
  bool polled = false;
  std::vector<std::string> errors;  // the last ones, newest last
};

class HotFolder {
 public:
  explicit HotFolder(FolderSettings settings);
  ~HotFolder();
  HotFolder(const HotFolder&) = delete;
  HotFolder& operator=(const HotFolder&) = delete;

  FolderSettings Settings();
  // New settings for the same folder, taken while it runs.
  void Update(const FolderSettings& settings);

  // Prepares the layout, replays the journal and recovers; false with
  // `error` when the folder cannot be served.
  bool Start(std::string& error);

  // Takes the events and, when they or the time ask for it, looks at the
  // folder and claims what is ready. `now`: a monotonic second count.
  void Tick(std::time_t now);
  int EventsFd() const { return events_; }

  // The oldest claimed file that has no job yet.
  std::optional<ClaimedFile> Next();
  // Records the file's job before it may print; false: it must not.
  bool Sending(const std::string& name, int jobId);
  // The job ended: printed, with the printer's end, or not.
  void Printed(const std::string& name, int jobId, const std::string& end);
  void Failed(const std::string& name, const std::string& reason);
  // A file whose job could not be made, still unsent: back to the folder.
  void GiveBack(const std::string& name, const std::string& why);

  FolderStatus Status();
  // Keeps `error` among the folder's last errors.
  void Tell(const std::string& error);

 private:
  void NoteError(const std::string& error);  // with the lock held
  struct Look {
    off_t size = 0;
    std::timespec mtime{};
    std::time_t seen = 0;   // last looked at
    std::time_t since = 0;  // unchanged since
  };
  enum class State { Claimed, Sending, Sent, Failing };
  struct Entry {
    ClaimedFile file;
    State state = State::Claimed;
    int jobId = 0;
    std::string detail;  // the printer's end or the reason
  };

  void Recover();
  void Scan(std::time_t now);
  void TryClaim(const Arrival& arrival, std::time_t now);
  void RejectFromFolder(const std::string& name, const std::string& reason);
  bool Archive(Entry& entry);
  void Record(Step step, const std::string& name, int jobId, const std::string& detail);
  void ReturnToFolder(const std::string& name);
  int Unsent() const;

  FolderSettings settings_;
  FolderLayout layout_;
  Journal journal_;
  std::mutex mutex_;
  int events_ = -1;
  bool polled_ = false, dirty_ = true, journalBroken_ = false;
  std::time_t lastScan_ = 0, lastPrune_ = 0;
  int waiting_ = 0;
  std::map<std::string, Look> looks_;      // bounded by the scan's window
  std::map<std::string, Entry> entries_;   // claimed and not yet archived
  std::deque<std::string> errors_;
};

}  // namespace pagewire::hotfolder
