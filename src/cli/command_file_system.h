// The file system as one pagewire command sees it: the output file is made
// once and every PATH of the command is written into it, a large file shows
// its progress on a terminal while it is read, the PATH "-" is a copy of
// standard input and a PATH that cannot be seeked (a pipe, a FIFO) a copy
// of what it gave. A file gives exactly the size the job announced for it,
// or fails with FileErrorCause::EndOfFile when it has changed meanwhile.
#pragma once

#include <functional>
#include <map>
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

  // Copies standard input into a temporary file of its owner's only, which
  // no folder lists (the PDF reader seeks, a pipe cannot); it goes when the
  // command ends, however it ends. False with `error` set.
  bool TakeStandardInput(std::string& error);
  // The same for `path` when it names something that cannot be seeked (a
  // pipe, a FIFO, a terminal), once per command; true, doing nothing, for
  // anything else.
  bool KeepIfStream(const std::string& path, std::string& error);
  // The path `path` is read by: the copy's for "-" and a kept stream.
  std::string ReadPath(const std::string& path) const;

  // "-" is the file "(stdin)", as lp names its job.
  std::optional<platform::PathEntry> LookUp(const std::string& path) override;
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
  std::map<std::string, int> copies_;  // by PATH, open while the command lives
};

}  // namespace pagewire::cli
