// A folder's journal: what happened to each claimed file, one fsync'd line
// per step, in FOLDER/.pagewire/journal. Replayed at start; compacted to the
// files still under way once it has grown.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pagewire::hotfolder {

enum class Step {
  Claimed,   // moved into processing/
  Sending,   // a job exists for it; from here on it may print
  Sent,      // the job completed, with the printer's end
  Failed,    // it goes to failed/ with the reason
  Returned,  // moved back into the folder, never sent
  Done,      // it is in done/ or failed/: the record ends
};

std::string_view StepName(Step step);
std::optional<Step> StepNamed(std::string_view name);

struct Record {
  Step step = Step::Claimed;
  std::string name;    // the file's name in processing/
  int jobId = 0;       // Sending, Sent
  std::string detail;  // Sent: the printer's end; Failed: the reason
};

// The last record of each file whose records have not ended.
using OpenRecords = std::map<std::string, Record>;

class Journal {
 public:
  Journal() = default;
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;
  ~Journal();

  // Opens (making it) the journal at `path` and reads its open records;
  // `folder` is fsync'd after the journal's renames. False with `error`.
  bool Open(const std::string& path, const std::string& folder, std::string& error);
  const OpenRecords& Open() const { return open_; }

  // Appends `record` and syncs it to the disk before it returns; false with
  // `error` when it could not be kept (then nothing may follow from it).
  bool Append(const Record& record, std::string& error);

 private:
  bool Compact(std::string& error);

  std::string path_, folder_;
  int fd_ = -1;
  OpenRecords open_;
  std::size_t lines_ = 0;  // in the file since its last compaction
};

// The test hook for crash points, the one place it is read: with
// PAGEWIRE_HOTFOLDER_CRASH_AFTER=POINT[:N] in the environment the process
// kills itself (SIGKILL) right after the Nth time (default 1) it passes
// POINT: a step's name once its record is on the disk, or "claim" (the file
// moved into processing/, not yet recorded) or "archive" (moved into done/
// or failed/, not yet recorded).
void CrashPoint(std::string_view point);

// Lines as kept: "STEP<TAB>JOB<TAB>NAME<TAB>DETAIL", text escaped with %XX.
std::string FormatRecord(const Record& record);
std::optional<Record> ParseRecord(std::string_view line);

}  // namespace pagewire::hotfolder
