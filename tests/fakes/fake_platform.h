// In-memory fakes of every port, with scripted answers and recorded calls.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_printers.h"
#include "fakes/fake_settings_store.h"
#include "job/job_dialogs.h"
#include "platform/platform.h"

namespace pagewire::fakes {

class FakeFileSystem : public platform::FileSystem {
 public:
  struct File {
    std::string content;
    std::uint64_t reportedSize = 0;  // 0: the content's size
    platform::FileErrorCause openFailure = platform::FileErrorCause::None;
    platform::FileErrorCause readFailure = platform::FileErrorCause::None;
    platform::FileErrorCause sizeFailure = platform::FileErrorCause::None;
  };
  // Full paths with backslashes; folders hold entries in search order.
  std::map<std::string, File> files;
  std::set<std::string> folders;
  std::map<std::string, std::string> shortNames;  // long path -> short path
  std::map<std::string, platform::FileErrorCause> createFailures;  // output path -> cause
  std::map<std::string, std::string> written;  // output files' bytes, by path
  platform::FileErrorCause writeFailure = platform::FileErrorCause::None;
  std::vector<std::string> searches;  // every look-up path and "folder\\*.ext" search
  int closedOutputs = 0;

  void AddFile(const std::string& path, std::string content);
  void AddFolder(const std::string& path) { folders.insert(path); }

  bool LookUpEntry(const std::string& path, platform::FindData& entry) override;
  std::unique_ptr<platform::FileSearch> SearchFolder(const std::string& folder,
                                                     const std::string& extension,
                                                     platform::FindData& first) override;
  std::string ChildPath(const std::string& folder, const std::string& name) override {
    return folder + "\\" + name;
  }
  std::size_t MaxPathLength() override { return 255; }
  bool ShortPathOf(const std::string& longPath, std::size_t capacity,
                   std::string& shortPath) override;
  std::unique_ptr<platform::FileReader> OpenForSharedRead(const std::string& path,
                                                          platform::FileErrorCause& cause) override;
  std::unique_ptr<platform::FileWriter> CreateOutputFile(const std::string& path,
                                                         platform::FileErrorCause& cause) override;

 private:
  std::unique_ptr<platform::FileSearch> FindFirstEntry(const std::string& pattern,
                                                       platform::FindData& first);

  std::vector<std::string> insertionOrder_;
};

class FakeShell : public platform::Shell {
 public:
  struct Call {
    std::string verb, file, parameters;
    platform::ShowCommand show;
  };
  std::map<std::string, std::string> associations;  // file -> application
  int findFailure = 31;                               // SE_ERR_NOASSOC
  int executeResult = 42;
  std::vector<Call> executed;

  int FindAssociatedExecutable(const std::string& file, std::string& application) override;
  int Execute(const std::string& verb, const std::string& file, const std::string& parameters,
              platform::ShowCommand show) override;
};

class FakeSystemFacts : public platform::SystemFacts {
 public:
  platform::OsVersion version;
  std::map<std::string, std::string> profile;  // "section/key" -> value
  std::uint32_t userNameSize = 7;
  std::optional<std::string> userName = "user01";
  std::vector<std::uint32_t> userNameRooms;  // buffer sizes asked for
  platform::HostFacts host{std::string("PC01"), platform::Ipv4Address{192, 168, 1, 20}};
  platform::LocalTime now{2002, 3, 5, 9, 7, 2};
  std::string applicationName = "Pagewire";

  platform::OsVersion VersionInfo() override { return version; }
  std::string ProfileString(const std::string& section, const std::string& key,
                            const std::string& defaultValue) override;
  std::uint32_t UserNameSize() override { return userNameSize; }
  std::optional<std::string> UserName(std::uint32_t bufferSize) override;
  platform::HostFacts LookUpHost() override { return host; }
  platform::LocalTime LocalNow() override { return now; }
  std::string ApplicationName() override { return applicationName; }
};

// Message boxes, file choosers and the job dialogs, each answered from a
// script.
class FakeUserInterface : public platform::UserInterface, public job::JobDialogs {
 public:
  struct Message {
    platform::MessageText text;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
    std::string Text() const { return text.JoinedBytes(); }
  };
  std::vector<Message> messages;
  std::deque<platform::MessageAnswer> messageAnswers;  // empty: OK (Cancel for Retry/Cancel)

  // Each run of the settings dialog takes the next answer (empty: OK).
  std::deque<std::function<job::SettingsDlgResult(job::PdfPrintSettings&)>> settingsRuns;
  int settingsRunCount = 0;

  struct PasswordAnswer {
    job::PasswordDlgResult result;
    std::string password;
    std::optional<settings::MacAddress> mac;
    std::string passwordUtf8 = {};  // empty: the same bytes as `password`
  };
  std::deque<PasswordAnswer> passwordAnswers;  // empty: Cancel
  std::vector<job::PasswordEntry> passwordRuns;  // the entry as shown

  std::deque<job::FileConfirmResult> confirmAnswers;  // empty: OK
  std::function<void()> onConfirm;  // runs inside each confirmation
  std::vector<std::string> confirmedNames;

  std::deque<std::optional<std::string>> openAnswers, saveAnswers;  // empty: none
  std::vector<platform::FileChooserRequest> openRequests, saveRequests;

  std::vector<std::string> MessageTexts() const;

  platform::MessageAnswer ShowMessageBox(const platform::MessageText& text,
                                         platform::MessageButtons buttons,
                                         platform::MessageIcon icon) override;
  job::SettingsDlgResult RunPdfPrintSettingsDlg(job::PdfPrintSettings& settings) override;
  job::PasswordDlgResult RunPasswordDlg(job::PasswordEntry& entry) override;
  job::FileConfirmResult RunFileConfirmDlg(const std::string& fileName) override;
  std::optional<std::string> ChooseOpenFile(const platform::FileChooserRequest& request) override;
  std::optional<std::string> ChooseSaveAsFile(
      const platform::FileChooserRequest& request) override;
};

// All fakes with a Platform over them.
struct FakePlatform {
  FakeSettingsStore settingsStore;
  FakePrinters printers;
  FakeFileSystem fileSystem;
  FakeShell shell;
  FakeSystemFacts systemFacts;
  FakeUserInterface ui;
  platform::Platform platform{settingsStore, printers, fileSystem, shell, systemFacts, ui};
};

}  // namespace pagewire::fakes
