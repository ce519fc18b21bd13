#include "fakes/fake_system.h"

#include <algorithm>
#include <cstring>

namespace pagewire::fakes {

using platform::FileErrorCause;

namespace {

std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

class ListedSearch : public platform::FolderSearch {
 public:
  explicit ListedSearch(std::vector<std::string> names) : names_(std::move(names)) {}
  std::optional<std::string> NextFile() override {
    if (at_ >= names_.size()) return std::nullopt;
    return names_[at_++];
  }

 private:
  std::vector<std::string> names_;
  std::size_t at_ = 0;
};

// A read failure comes after the first piece: the job has begun.
class FakeReader : public platform::FileReader {
 public:
  explicit FakeReader(const FakeFileSystem::File& file) : file_(file) {}
  std::uint64_t Size(FileErrorCause& cause) const override {
    cause = file_.sizeFailure;
    return cause == FileErrorCause::None ? file_.content.size() : 0;
  }
  std::size_t Read(void* buffer, std::size_t capacity, FileErrorCause& cause) override {
    if (file_.readFailure != FileErrorCause::None && at_ > 0) {
      cause = file_.readFailure;
      return 0;
    }
    const std::size_t n = std::min(capacity, file_.content.size() - at_);
    std::memcpy(buffer, file_.content.data() + at_, n);
    at_ += n;
    return n;
  }

 private:
  const FakeFileSystem::File& file_;
  std::size_t at_ = 0;
};

class FakeWriter : public platform::FileWriter {
 public:
  FakeWriter(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  bool Write(const void* data, std::size_t length, FileErrorCause& cause) override {
    if (fs_.writeFailure != FileErrorCause::None) {
      cause = fs_.writeFailure;
      return false;
    }
    fs_.written[path_].append(static_cast<const char*>(data), length);
    return true;
  }
  // A medium that refused a write refuses the flush too.
  bool Close(FileErrorCause& cause) override {
    ++fs_.closedOutputs;
    cause = fs_.writeFailure;
    return cause == FileErrorCause::None;
  }

 private:
  FakeFileSystem& fs_;
  std::string path_;
};

}  // namespace

std::optional<platform::PathEntry> FakeFileSystem::LookUp(const std::string& path) {
  if (files.count(path) == 0 && folders.count(path) == 0) return std::nullopt;
  return platform::PathEntry{NameOf(path), folders.count(path) != 0};
}

std::unique_ptr<platform::FolderSearch> FakeFileSystem::SearchFolder(
    const std::string& folder, const std::string& extension) {
  searches.push_back(folder + " *." + extension);
  const std::string prefix = folder + "\\";
  const std::string suffix = "." + extension;
  std::vector<std::string> names;
  for (const auto& [path, file] : files) {
    const std::string name = path.substr(std::min(prefix.size(), path.size()));
    if (path.compare(0, prefix.size(), prefix) == 0 && name.find('\\') == std::string::npos &&
        name.size() > suffix.size() && name.ends_with(suffix)) {
      names.push_back(name);
    }
  }
  return std::make_unique<ListedSearch>(std::move(names));
}

platform::OpenPath FakeFileSystem::PathToOpen(const std::string& path) {
  const auto it = openPaths.find(path);
  return Fitted(it == openPaths.end() ? path : it->second);
}

std::unique_ptr<platform::FileReader> FakeFileSystem::OpenForReading(const std::string& path,
                                                                     FileErrorCause& cause) {
  std::string named = path;
  for (const auto& [longPath, openPath] : openPaths) {
    if (openPath == path) named = longPath;
  }
  const auto it = files.find(named);
  cause = it == files.end() ? FileErrorCause::FileNotFound : it->second.openFailure;
  if (cause != FileErrorCause::None) return nullptr;
  return std::make_unique<FakeReader>(it->second);
}

std::unique_ptr<platform::FileWriter> FakeFileSystem::CreateOutputFile(const std::string& path,
                                                                       FileErrorCause& cause) {
  const auto failure = createFailures.find(path);
  if (failure != createFailures.end()) {
    cause = failure->second;
    return nullptr;
  }
  written[path].clear();
  return std::make_unique<FakeWriter>(*this, path);
}

std::optional<std::string> FakeShell::AssociatedApplication(const std::string& file) {
  const auto it = associations.find(file);
  if (it == associations.end()) return std::nullopt;
  return it->second;
}

}  // namespace pagewire::fakes
