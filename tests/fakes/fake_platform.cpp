#include "fakes/fake_platform.h"

#include <algorithm>
#include <cstring>


namespace pagewire::fakes {

using platform::FileErrorCause;

// ----- file system

namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Matches(const char* mask, const char* name) {
  if (*mask == '\0') return *name == '\0';
  if (*mask == '*') return Matches(mask + 1, name) || (*name != '\0' && Matches(mask, name + 1));
  if (*name == '\0') return false;
  if (*mask != '?' && Lower(*mask) != Lower(*name)) return false;
  return Matches(mask + 1, name + 1);
}

std::string ParentOf(const std::string& path) {
  const std::size_t at = path.rfind('\\');
  return at == std::string::npos ? std::string() : path.substr(0, at);
}

std::string NameOf(const std::string& path) {
  const std::size_t at = path.rfind('\\');
  return at == std::string::npos ? path : path.substr(at + 1);
}

class FakeSearch : public platform::FileSearch {
 public:
  explicit FakeSearch(std::vector<platform::FindData> rest) : rest_(std::move(rest)) {}
  bool Next(platform::FindData& entry) override {
    if (closed_ || at_ >= rest_.size()) return false;
    entry = rest_[at_++];
    return true;
  }
  void Close() override { closed_ = true; }

 private:
  std::vector<platform::FindData> rest_;
  std::size_t at_ = 0;
  bool closed_ = false;
};

class FakeReader : public platform::FileReader {
 public:
  explicit FakeReader(const FakeFileSystem::File& file) : file_(file) {}
  std::uint64_t Size(FileErrorCause& cause) const override {
    cause = file_.sizeFailure;
    if (cause != FileErrorCause::None) return 0;
    return file_.reportedSize != 0 ? file_.reportedSize : file_.content.size();
  }
  std::size_t Read(void* buffer, std::size_t capacity, FileErrorCause& cause) override {
    if (file_.readFailure != FileErrorCause::None && at_ > 0) {
      cause = file_.readFailure;
      return 0;
    }
    const std::size_t n = std::min(capacity, file_.content.size() - at_);
    std::memcpy(buffer, file_.content.data() + at_, n);
    at_ += n;
    if (file_.readFailure != FileErrorCause::None && n == 0) cause = file_.readFailure;
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

void FakeFileSystem::AddFile(const std::string& path, std::string content) {
  if (files.count(path) == 0) insertionOrder_.push_back(path);
  files[path].content = std::move(content);
}

std::unique_ptr<platform::FileSearch> FakeFileSystem::FindFirstEntry(const std::string& pattern,
                                                                     platform::FindData& first) {
  searches.push_back(pattern);
  std::vector<platform::FindData> found;
  const std::string mask = NameOf(pattern);
  const std::string dir = ParentOf(pattern);
  if (mask.find_first_of("*?") == std::string::npos) {
    if (files.count(pattern) != 0) found.push_back({mask, false});
    if (folders.count(pattern) != 0) found.push_back({mask, true});
  } else {
    for (const std::string& path : insertionOrder_) {
      if (ParentOf(path) == dir && Matches(mask.c_str(), NameOf(path).c_str())) {
        found.push_back({NameOf(path), false});
      }
    }
    for (const std::string& path : folders) {
      if (ParentOf(path) == dir && Matches(mask.c_str(), NameOf(path).c_str())) {
        found.push_back({NameOf(path), true});
      }
    }
  }
  if (found.empty()) return nullptr;
  first = found.front();
  return std::make_unique<FakeSearch>(
      std::vector<platform::FindData>(found.begin() + 1, found.end()));
}

bool FakeFileSystem::LookUpEntry(const std::string& path, platform::FindData& entry) {
  return FindFirstEntry(path, entry) != nullptr;
}

std::unique_ptr<platform::FileSearch> FakeFileSystem::SearchFolder(const std::string& folder,
                                                                   const std::string& extension,
                                                                   platform::FindData& first) {
  return FindFirstEntry(folder + "\\*." + extension, first);
}

bool FakeFileSystem::ShortPathOf(const std::string& longPath, std::size_t capacity,
                                 std::string& shortPath) {
  auto it = shortNames.find(longPath);
  if (it == shortNames.end() || it->second.size() >= capacity) return false;
  shortPath = it->second;
  return true;
}

std::unique_ptr<platform::FileReader> FakeFileSystem::OpenForSharedRead(const std::string& path,
                                                                        FileErrorCause& cause) {
  std::string longPath = path;
  for (const auto& [lng, shrt] : shortNames) {
    if (shrt == path) longPath = lng;
  }
  auto it = files.find(longPath);
  if (it == files.end()) {
    cause = FileErrorCause::FileNotFound;
    return nullptr;
  }
  if (it->second.openFailure != FileErrorCause::None) {
    cause = it->second.openFailure;
    return nullptr;
  }
  return std::make_unique<FakeReader>(it->second);
}

std::unique_ptr<platform::FileWriter> FakeFileSystem::CreateOutputFile(const std::string& path,
                                                                       FileErrorCause& cause) {
  auto failure = createFailures.find(path);
  if (failure != createFailures.end()) {
    cause = failure->second;
    return nullptr;
  }
  written[path].clear();
  return std::make_unique<FakeWriter>(*this, path);
}

// ----- shell

int FakeShell::FindAssociatedExecutable(const std::string& file, std::string& application) {
  auto it = associations.find(file);
  if (it == associations.end()) return findFailure;
  application = it->second;
  return 42;
}

int FakeShell::Execute(const std::string& verb, const std::string& file,
                       const std::string& parameters, platform::ShowCommand show) {
  executed.push_back(Call{verb, file, parameters, show});
  return executeResult;
}

// ----- system facts

std::string FakeSystemFacts::ProfileString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue) {
  auto it = profile.find(section + "/" + key);
  return it == profile.end() ? defaultValue : it->second;
}

std::optional<std::string> FakeSystemFacts::UserName(std::uint32_t bufferSize) {
  userNameRooms.push_back(bufferSize);
  if (userName && userName->size() >= bufferSize) return std::nullopt;
  return userName;
}

// ----- user interface

std::vector<std::string> FakeUserInterface::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& m : messages) texts.push_back(m.Text());
  return texts;
}

platform::MessageAnswer FakeUserInterface::ShowMessageBox(const platform::MessageText& text,
                                                          platform::MessageButtons buttons,
                                                          platform::MessageIcon icon) {
  messages.push_back(Message{text, buttons, icon});
  if (!messageAnswers.empty()) {
    const platform::MessageAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  return buttons == platform::MessageButtons::RetryCancel ? platform::MessageAnswer::Cancel
                                                          : platform::MessageAnswer::Ok;
}

job::SettingsDlgResult FakeUserInterface::RunPdfPrintSettingsDlg(
    job::PdfPrintSettings& settings) {
  ++settingsRunCount;
  if (settingsRuns.empty()) return job::SettingsDlgResult::Ok;
  auto run = std::move(settingsRuns.front());
  settingsRuns.pop_front();
  return run(settings);
}

job::PasswordDlgResult FakeUserInterface::RunPasswordDlg(job::PasswordEntry& state) {
  passwordRuns.push_back(state);
  if (passwordAnswers.empty()) return job::PasswordDlgResult::Cancel;
  PasswordAnswer answer = passwordAnswers.front();
  passwordAnswers.pop_front();
  state.password = answer.password;
  state.passwordUtf8 = answer.passwordUtf8.empty() ? answer.password : answer.passwordUtf8;
  state.macAddress = answer.mac;
  return answer.result;
}

job::FileConfirmResult FakeUserInterface::RunFileConfirmDlg(const std::string& fileName) {
  confirmedNames.push_back(fileName);
  if (onConfirm) onConfirm();
  if (confirmAnswers.empty()) return job::FileConfirmResult::Ok;
  const job::FileConfirmResult answer = confirmAnswers.front();
  confirmAnswers.pop_front();
  return answer;
}

std::optional<std::string> FakeUserInterface::ChooseOpenFile(
    const platform::FileChooserRequest& request) {
  openRequests.push_back(request);
  if (openAnswers.empty()) return std::nullopt;
  auto answer = openAnswers.front();
  openAnswers.pop_front();
  return answer;
}

std::optional<std::string> FakeUserInterface::ChooseSaveAsFile(
    const platform::FileChooserRequest& request) {
  saveRequests.push_back(request);
  if (saveAnswers.empty()) return std::nullopt;
  auto answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

}  // namespace pagewire::fakes
