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
#include "fakes/fake_system.h"
#include "job/job_dialogs.h"
#include "platform/platform.h"

namespace pagewire::fakes {

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
