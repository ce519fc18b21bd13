// A hot folder's files on the disk: its layout under FOLDER/.pagewire, the
// moves between its parts that never overwrite a file and never lose one,
// the reason files beside failed ones, and pruning by age.
#pragma once

#include <ctime>
#include <string>

namespace pagewire::hotfolder {

struct FolderLayout {
  explicit FolderLayout(const std::string& folder);
  std::string folder, work, processing, done, failed, journal, errors;
};

// Makes the layout's folders; refuses (false, `error`) a folder that is no
// folder, and a .pagewire or processing/ on another device than the
// folder, where the claim's rename could not be atomic.
bool PrepareLayout(const FolderLayout& layout, std::string& error);

// fsync of a folder, so that a rename in it is on the disk.
bool SyncFolder(const std::string& folder);

// Reads a file of at most 16 MiB.
bool ReadSmallFile(const std::string& path, std::string& text, std::string& error);

// Moves FROM/NAME into TO under NAME or, when that is taken, NAME-2, NAME-3,
// ... (before the extension); `avoid` a suffix whose name must be free as
// well (".reason"). Across devices it copies, syncs the copy and only then
// removes the original. Both folders are synced. The name it got in
// `placed`; false with `error`, the original still in place.
bool MoveFile(const std::string& from, const std::string& name, const std::string& to,
              const std::string& avoid, std::string& placed, std::string& error);

// Writes `text` to PATH (a new file, synced, renamed into place).
bool WriteTextFile(const std::string& path, const std::string& text, std::string& error);

// Removes the files of `folder` moved in (their status last changed, which
// a rename does) before `before`: a file's own time may be years old; the
// count.
int PruneOlderThan(const std::string& folder, std::time_t before);

// Entries of `folder` that are files, without the reason files.
int CountFiles(const std::string& folder);

}  // namespace pagewire::hotfolder
