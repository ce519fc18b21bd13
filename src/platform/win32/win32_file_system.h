// File system over FindFirstFileA, GetShortPathNameA and CreateFileA. Paths
// are opened by their short form, in the program's 256-byte path buffer; a
// longer path is refused rather than cut.
#pragma once

#include "platform/file_system.h"

namespace pagewire::platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  // FindFirstFileA on the path itself.
  std::optional<PathEntry> LookUp(const std::string& path) override;
  // FindFirstFileA on "folder\*.ext": the short names match too, so "*.tif"
  // finds ".tiff" files.
  std::unique_ptr<FolderSearch> SearchFolder(const std::string& folder,
                                             const std::string& extension) override;
  OpenPath PathToOpen(const std::string& path) override;
  OpenPath PathInFolder(const std::string& folder, const std::string& name) override;
  // Shared read, denied write, sequential scan.
  std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                             FileErrorCause& cause) override;
  std::unique_ptr<FileWriter> CreateOutputFile(const std::string& path,
                                               FileErrorCause& cause) override;
};

}  // namespace pagewire::platform::win32
