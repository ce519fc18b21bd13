// In-memory system facts, files and shell, with scripted answers and
// recorded calls.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/system_facts.h"

namespace pagewire::fakes {

class FakeSystemFacts : public platform::SystemFacts {
 public:
  std::optional<std::string> userName = "user01";
  platform::HostFacts host{std::string("PC01"), platform::Ipv4Address{192, 168, 1, 20}};
  platform::DefaultPrinter defaultPrinter;
  platform::LocalTime now{2002, 3, 5, 9, 7, 2};
  std::string applicationName = "Pagewire";

  std::optional<std::string> UserName() override { return userName; }
  platform::HostFacts Host() override { return host; }
  platform::DefaultPrinter RecordedDefaultPrinter() override { return defaultPrinter; }
  platform::LocalTime LocalNow() override { return now; }
  std::string ApplicationName() override { return applicationName; }
};

// Files and folders by full path, joined by backslashes; a folder's files
// are found in path order.
class FakeFileSystem : public platform::FileSystem {
 public:
  struct File {
    std::string content;
    platform::FileErrorCause openFailure = platform::FileErrorCause::None;
    platform::FileErrorCause readFailure = platform::FileErrorCause::None;
    platform::FileErrorCause sizeFailure = platform::FileErrorCause::None;
  };
  std::map<std::string, File> files;
  std::set<std::string> folders;
  std::map<std::string, std::string> openPaths;  // path -> the path it is opened by
  std::map<std::string, platform::FileErrorCause> createFailures;  // output path -> cause
  std::map<std::string, std::string> written;  // output files' bytes, by path
  platform::FileErrorCause writeFailure = platform::FileErrorCause::None;
  std::vector<std::string> searches;  // each folder search as "folder *.ext"
  int closedOutputs = 0;

  void AddFile(const std::string& path, std::string content) {
    files[path].content = std::move(content);
  }
  void AddFolder(const std::string& path) { folders.insert(path); }

  std::optional<platform::PathEntry> LookUp(const std::string& path) override;
  std::unique_ptr<platform::FolderSearch> SearchFolder(const std::string& folder,
                                                       const std::string& extension) override;
  platform::OpenPath PathToOpen(const std::string& path) override;
  platform::OpenPath PathInFolder(const std::string& folder, const std::string& name) override {
    return Fitted(folder + "\\" + name);
  }
  std::unique_ptr<platform::FileReader> OpenForReading(const std::string& path,
                                                       platform::FileErrorCause& cause) override;
  std::unique_ptr<platform::FileWriter> CreateOutputFile(const std::string& path,
                                                         platform::FileErrorCause& cause) override;

 private:
  // The 256-byte path buffer of the Windows program.
  static platform::OpenPath Fitted(std::string path) {
    const bool fits = path.size() < 256;
    return platform::OpenPath{std::move(path), fits};
  }
};

class FakeShell : public platform::Shell {
 public:
  // "start" (an application with its command line), "print" or "open".
  struct Call {
    std::string action, file, parameters;
  };
  std::map<std::string, std::string> associations;  // file -> application
  std::vector<Call> calls;  // each succeeds

  std::optional<std::string> AssociatedApplication(const std::string& file) override;
  bool StartApplication(const std::string& application, const std::string& parameters) override {
    return Record({"start", application, parameters});
  }
  bool PrintOnDefaultPrinter(const std::string& file) override {
    return Record({"print", file, ""});
  }
  bool OpenDocument(const std::string& file) override { return Record({"open", file, ""}); }

 private:
  bool Record(Call call) {
    calls.push_back(std::move(call));
    return true;
  }
};

}  // namespace pagewire::fakes
