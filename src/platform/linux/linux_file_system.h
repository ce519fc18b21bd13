// File system port over POSIX calls. Names are bytes; a folder search
// matches its extension without regard to case, and "tif" matches ".tiff"
// too, as Windows does, and gives the names in a stable order.
#pragma once

#include "platform/file_system.h"

namespace pagewire::platform {

class LinuxFileSystem : public FileSystem {
 public:
  bool LookUpEntry(const std::string& path, FindData& entry) override;
  std::unique_ptr<FileSearch> SearchFolder(const std::string& folder, const std::string& extension,
                                           FindData& first) override;
  std::string ChildPath(const std::string& folder, const std::string& name) override;
  std::size_t MaxPathLength() override;
  // There are no short names: always false.
  bool ShortPathOf(const std::string& longPath, std::size_t capacity,
                   std::string& shortPath) override;
  std::unique_ptr<FileReader> OpenForSharedRead(const std::string& path,
                                                FileErrorCause& cause) override;
  // "-" is standard output.
  std::unique_ptr<FileWriter> CreateOutputFile(const std::string& path,
                                               FileErrorCause& cause) override;
};

// The file-error cause of an errno value.
FileErrorCause FileErrorCauseOf(int error);

}  // namespace pagewire::platform
