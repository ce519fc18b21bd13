// File system port over FindFirstFileA, GetShortPathNameA and CreateFileA.
#pragma once

#include "platform/file_system.h"

namespace pagewire::platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  bool LookUpEntry(const std::string& path, FindData& entry) override;
  std::unique_ptr<FileSearch> SearchFolder(const std::string& folder, const std::string& extension,
                                           FindData& first) override;
  std::string ChildPath(const std::string& folder, const std::string& name) override;
  std::size_t MaxPathLength() override;
  bool ShortPathOf(const std::string& longPath, std::size_t capacity,
                   std::string& shortPath) override;
  std::unique_ptr<FileReader> OpenForSharedRead(const std::string& path,
                                                FileErrorCause& cause) override;
  std::unique_ptr<FileWriter> CreateOutputFile(const std::string& path,
                                               FileErrorCause& cause) override;
};

}  // namespace pagewire::platform::win32
