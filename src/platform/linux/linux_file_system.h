// File system over POSIX calls. Names are bytes; a folder search matches
// its extension in any letter case, takes ".tiff" for "tif", and gives the
// names in a stable order.
#pragma once

#include <sys/stat.h>

#include "platform/file_system.h"

namespace pagewire::platform {

// The command's output file, or standard output for "-". A regular file is
// for its owner only (0600) from the moment it is opened, since a job may
// carry a password; ShareMode before Close gives it the mode it would have
// had (0666 less the umask, or an existing file's own). An existing file is
// emptied at the first write, not before, so one that receives nothing keeps
// what it held; one made here that receives nothing is removed at Close.
class LinuxOutputFile : public FileWriter {
 public:
  static std::unique_ptr<LinuxOutputFile> Create(const std::string& path, FileErrorCause& cause);
  ~LinuxOutputFile() override;
  LinuxOutputFile(const LinuxOutputFile&) = delete;
  LinuxOutputFile& operator=(const LinuxOutputFile&) = delete;

  bool Write(const void* data, std::size_t length, FileErrorCause& cause) override;
  bool Close(FileErrorCause& cause) override;
  void ShareMode() { shareMode_ = true; }

 private:
  LinuxOutputFile(std::string path, int fd, bool owned, bool created, mode_t sharedMode);

  std::string path_;
  int fd_;
  bool owned_;      // false for standard output
  bool created_;    // made by this command
  bool regular_ = false;
  mode_t sharedMode_;
  bool shareMode_ = false;
  bool written_ = false;
};

class LinuxFileSystem : public FileSystem {
 public:
  std::optional<PathEntry> LookUp(const std::string& path) override;
  std::unique_ptr<FolderSearch> SearchFolder(const std::string& folder,
                                             const std::string& extension) override;
  // The path itself; one of PATH_MAX bytes or more does not fit.
  OpenPath PathToOpen(const std::string& path) override;
  OpenPath PathInFolder(const std::string& folder, const std::string& name) override;
  std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                             FileErrorCause& cause) override;
  // A LinuxOutputFile.
  std::unique_ptr<FileWriter> CreateOutputFile(const std::string& path,
                                               FileErrorCause& cause) override;
};

// The file-error cause of an errno value.
FileErrorCause FileErrorCauseOf(int error);

}  // namespace pagewire::platform
