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

  std::optional<platform::PathEntry> LookUp(const std::string& path) override {
    return system_.LookUp(path);
  }
  std::unique_ptr<platform::FolderSearch> SearchFolder(const std::string& folder,
                                                       const std::string& extension) override {
    return system_.SearchFolder(folder, extension);
  }
  platform::OpenPath PathToOpen(const std::string& path) override {
    return system_.PathToOpen(path);
  }
  platform::OpenPath PathInFolder(const std::string& folder, const std::string& name) override {
    return system_.PathInFolder(folder, name);
  }
  std::unique_ptr<platform::FileReader> OpenForReading(const std::string& path,
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
