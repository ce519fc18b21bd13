// The file system as one pagewire command sees it: the output file is made
// once and every PATH of the command is written into it, and a large file
// shows its progress on a terminal while it is read.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/linux/linux_file_system.h"

namespace pagewire::cli {

class CommandFileSystem : public platform::FileSystem {
 public:
  // `opening` hears of each file before it is read.
  CommandFileSystem(platform::FileSystem& system, bool showProgress,
                    std::function<void(const std::string&)> opening);
  ~CommandFileSystem() override;

  // Flushes and closes the command's output file; false with `cause` set.
  // It stays its owner's only when it may hold a password.
  bool CloseOutput(bool mayHoldPassword, platform::FileErrorCause& cause);

  bool LookUpEntry(const std::string& path, platform::FindData& entry) override {
    return system_.LookUpEntry(path, entry);
  }
  std::unique_ptr<platform::FileSearch> SearchFolder(const std::string& folder,
                                                     const std::string& extension,
                                                     platform::FindData& first) override {
    return system_.SearchFolder(folder, extension, first);
  }
  std::string ChildPath(const std::string& folder, const std::string& name) override {
    return system_.ChildPath(folder, name);
  }
  std::size_t MaxPathLength() override { return system_.MaxPathLength(); }
  bool ShortPathOf(const std::string& longPath, std::size_t capacity,
                   std::string& shortPath) override {
    return system_.ShortPathOf(longPath, capacity, shortPath);
  }
  std::unique_ptr<platform::FileReader> OpenForSharedRead(const std::string& path,
                                                          platform::FileErrorCause& cause) override;
  std::unique_ptr<platform::FileWriter> CreateOutputFile(const std::string& path,
                                                         platform::FileErrorCause& cause) override;

 private:
  platform::FileSystem& system_;
  bool showProgress_;
  std::function<void(const std::string&)> opening_;
  std::unique_ptr<platform::LinuxOutputFile> output_;
};

}  // namespace pagewire::cli
