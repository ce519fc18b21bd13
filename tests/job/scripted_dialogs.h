// The desktop's dialogs answered from scripts, behind its decisions
// (DialogDecisions), with what each dialog was shown.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "job/job_dialogs.h"

namespace pagewire::job {

class ScriptedDialogs : public JobDialogs {
 public:
  // Each run of the settings dialog takes the next answer (empty: OK).
  std::deque<std::function<SettingsDlgResult(PdfPrintSettings&)>> settingsRuns;
  int settingsRunCount = 0;

  struct PasswordAnswer {
    PasswordDlgResult result;
    std::string password;
    std::optional<settings::MacAddress> mac;
    std::string passwordUtf8 = {};  // empty: the same bytes as `password`
  };
  std::deque<PasswordAnswer> passwordAnswers;  // empty: Cancel
  std::vector<PasswordEntry> passwordRuns;     // the entry as shown

  std::deque<FileConfirmResult> confirmAnswers;  // empty: OK
  std::function<void()> onConfirm;               // runs inside each confirmation
  std::vector<std::string> confirmedNames;

  SettingsDlgResult RunPdfPrintSettingsDlg(PdfPrintSettings& settings) override {
    ++settingsRunCount;
    if (settingsRuns.empty()) return SettingsDlgResult::Ok;
    const auto run = std::move(settingsRuns.front());
    settingsRuns.pop_front();
    return run(settings);
  }
  PasswordDlgResult RunPasswordDlg(PasswordEntry& entry) override {
    passwordRuns.push_back(entry);
    if (passwordAnswers.empty()) return PasswordDlgResult::Cancel;
    const PasswordAnswer answer = passwordAnswers.front();
    passwordAnswers.pop_front();
    entry.password = answer.password;
    entry.passwordUtf8 = answer.passwordUtf8.empty() ? answer.password : answer.passwordUtf8;
    entry.macAddress = answer.mac;
    return answer.result;
  }
  FileConfirmResult RunFileConfirmDlg(const std::string& fileName) override {
    confirmedNames.push_back(fileName);
    if (onConfirm) onConfirm();
    if (confirmAnswers.empty()) return FileConfirmResult::Ok;
    const FileConfirmResult answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
  }
};

}  // namespace pagewire::job
