#include "cli/terminal_ui.h"

#include <strings.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "cli/file_messages.h"
#include "cli/terminal_answer.h"
#include "job/job_messages.h"
#include "platform/dialog_results.h"
#include "platform/field_validation.h"

namespace pagewire::cli {
namespace {

// Turns the terminal's echo off while it lives.
class EchoOff {
 public:
  EchoOff() : active_(tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!active_) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    if (!active_) return;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    std::cerr << '\n';
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios saved_{};
  bool active_;
};

// The end of a line about a password longer than the printer takes.
std::string TooLong() {
  return " is longer than " + std::to_string(dialogs::kPasswordMaxChars) + " characters.";
}

void StripLineEnd(std::string& line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
}

}  // namespace

TerminalUi::TerminalUi(const CliOptions& options, bool interactive, std::string settingsPath)
    : options_(options), interactive_(interactive), settingsPath_(std::move(settingsPath)) {}

TerminalUi::~TerminalUi() {
  if (givenPassword_) dialogs::WipeSecret(*givenPassword_);
}

void TerminalUi::Say(const std::string& text) {
  std::string line = text.substr(std::min(text.find_first_not_of(' '), text.size()));
  StripLineEnd(line);
  std::cerr << "pagewire: " << line << std::endl;
}

bool TerminalUi::LoadPasswordFile(std::string& error) {
  if (options_.passwordSource != PasswordSource::File) return true;
  std::ifstream file(options_.passwordFile, std::ios::binary);
  std::string line;
  if (!file || !std::getline(file, line)) {
    error = "--password-file: cannot read '" + options_.passwordFile + "'";
    return false;
  }
  StripLineEnd(line);
  givenPassword_ = std::move(line);
  dialogs::WipeSecret(line);
  return true;
}

void TerminalUi::StartPath(const std::string& path) {
  path_ = path;
  currentFile_ = path;
}

bool TerminalUi::ReadGivenPassword() {
  if (givenPassword_) return true;
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  StripLineEnd(line);
  givenPassword_ = line;
  dialogs::WipeSecret(line);
  return true;
}

std::optional<std::string> TerminalUi::Ask(const std::string& prompt, bool secret) {
  std::cerr << prompt << std::flush;
  std::optional<EchoOff> echoOff;
  if (secret) echoOff.emplace();
  std::string line;
  if (!std::getline(std::cin, line)) {
    if (!secret) std::cerr << '\n';
    return std::nullopt;
  }
  StripLineEnd(line);
  return line;
}

int TerminalUi::ShowMessageBox(const platform::MessageText& text,
                               platform::MessageButtons buttons, platform::MessageIcon) {
  // A given password cannot be typed again: its retry ends with "Wrong password".
  if (options_.passwordSource != PasswordSource::Terminal &&
      text.JoinedBytes() == job::kCheckPassword) {
    return platform::kIdOk;
  }
  // The job that failed at its destination; the destination has told why.
  if (text.JoinedBytes() == job::kUnsupportedOperation) {
    Say("[" + currentFile_ + "] is not sent: " +
        (destination_.empty() ? std::string("the destination") : destination_) +
        " did not take the job.");
  } else {
    Say(text.JoinedBytes());
  }
  switch (buttons) {
    case platform::MessageButtons::Ok: return platform::kIdOk;
    case platform::MessageButtons::OkCancel: return AskOkCancel();
    case platform::MessageButtons::RetryCancel: break;
  }
  // Without a terminal, a failure nobody can mend is not retried.
  if (!interactive_) return platform::kIdCancel;
  for (;;) {
    const std::optional<std::string> answer = Ask("Retry? (yes/no) ", false);
    if (!answer || IsAnswer(*answer, "no")) return platform::kIdCancel;
    if (IsAnswer(*answer, "yes")) return platform::kIdRetry;
  }
}

// Only the user, or --yes, answers OK: the file is not sent otherwise.
int TerminalUi::AskOkCancel() {
  if (options_.yes || okToAll_) return platform::kIdOk;
  if (!interactive_) {
    Say("[" + currentFile_ + "] is not sent: no terminal to answer; --yes answers OK.");
    return platform::kIdCancel;
  }
  for (;;) {
    const std::optional<std::string> answer =
        Ask("Go on with " + currentFile_ + "? (yes/no/all) ", false);
    if (!answer || IsAnswer(*answer, "no")) return platform::kIdCancel;
    if (strcasecmp(answer->c_str(), "all") == 0) okToAll_ = true;
    if (okToAll_ || IsAnswer(*answer, "yes")) return platform::kIdOk;
  }
}

int TerminalUi::ShowFileMessage(platform::FileNotice notice, const std::string& path,
                                const platform::MessageText& text,
                                platform::MessageButtons buttons, platform::MessageIcon icon) {
  const std::optional<std::string> line = CommandFileMessage(notice, path, text.JoinedBytes());
  if (!line) return platform::kIdOk;
  return ShowMessageBox(*line, buttons, icon);
}

std::optional<std::string> TerminalUi::ChooseOpenFile(const platform::FileChooserRequest&) {
  return std::nullopt;
}

std::optional<std::string> TerminalUi::ChooseSaveAsFile(const platform::FileChooserRequest&) {
  return options_.JobOutput();
}

int TerminalUi::RunPdfPrintSettingsDlg(dialogs::PdfPrintSettings& settings) {
  options_.overrides.ApplyTo(settings.settings);
  if (!options_.save || SaveSettings(settings)) return platform::kIdOk;
  Say("[" + currentFile_ + "] is not sent: --save failed.");
  return platform::kIdCancel;
}

// --save, tried once a command; false when the settings were not kept.
bool TerminalUi::SaveSettings(dialogs::PdfPrintSettings& settings) {
  if (settingsSaved_) return *settingsSaved_;
  settings.saveSettings = 1;
  settingsSaved_ = settings.settingsReadOnly == 0 && settings.SaveSettings();
  if (!*settingsSaved_) {
    Say(settingsPath_.empty()
            ? "--save: no home folder is known to keep the settings in."
            : "--save: the settings file cannot be written: " + settingsPath_);
  }
  return *settingsSaved_;
}

int TerminalUi::RunGivenPassword(dialogs::PasswordEntry& entry) {
  const std::string source =
      options_.passwordSource == PasswordSource::File ? "--password-file" : "--password-stdin";
  // A retry follows a wrong password: the given one will not change.
  if (!entry.password.empty()) {
    Say("[" + entry.fileName + "] is not sent: the password from " + source + " is wrong.");
    return platform::kIdCancel;
  }
  if (!ReadGivenPassword()) {
    Say("[" + entry.fileName + "] needs a password, and standard input gave none.");
    return platform::kIdCancel;
  }
  // An empty line is more likely an unset variable than a wish to print
  // without the password.
  if (givenPassword_->empty()) {
    Say("[" + entry.fileName + "] is not sent: the password from " + source + " is empty.");
    return platform::kIdCancel;
  }
  if (!platform::ValidateUtf8TextLength(*givenPassword_, dialogs::kPasswordMaxChars).ok()) {
    Say("[" + entry.fileName + "] is not sent: the password from " + source + TooLong());
    return platform::kIdCancel;
  }
  entry.password = *givenPassword_;
  entry.passwordUtf8 = *givenPassword_;
  passwordHandedOut_ = true;
  return platform::kIdOk;
}

int TerminalUi::RunPasswordDlg(dialogs::PasswordEntry& entry) {
  entry.macAddress = options_.mac;
  if (options_.passwordSource != PasswordSource::Terminal) return RunGivenPassword(entry);
  if (!interactive_) {
    Say("[" + entry.fileName + "] needs a password: give --password-stdin or --password-file.");
    return platform::kIdCancel;
  }
  for (;;) {
    std::optional<std::string> typed = Ask("Password for " + entry.fileName + ": ", true);
    if (!typed) return platform::kIdCancel;
    const platform::FieldVerdict verdict =
        platform::ValidateUtf8TextLength(*typed, dialogs::kPasswordMaxChars);
    if (verdict.ok()) {
      dialogs::WipeSecret(entry.password);
      dialogs::WipeSecret(entry.passwordUtf8);
      entry.password = *typed;
      entry.passwordUtf8 = *typed;
    }
    dialogs::WipeSecret(*typed);
    if (!verdict.ok()) {
      Say("The password" + TooLong());
      continue;
    }
    // The dialog's meaning of an empty entry, said aloud.
    if (entry.password.empty()) {
      Say("No password typed: [" + entry.fileName + "] is sent without one.");
    } else {
      passwordHandedOut_ = true;
    }
    return platform::kIdOk;
  }
}

int TerminalUi::RunFileConfirmDlg(const std::string& fileName) {
  currentFile_ = path_.ends_with('/') ? path_ + fileName : path_ + "/" + fileName;
  if (!options_.confirm) return platform::kIdOk;
  for (;;) {
    const std::optional<std::string> answer =
        Ask("Print " + fileName + "? (yes/no/all/abort) ", false);
    if (!answer) return platform::kIdAbort;
    if (strcasecmp(answer->c_str(), "all") == 0) return platform::kIdPrintAll;
    if (strcasecmp(answer->c_str(), "abort") == 0) return platform::kIdAbort;
    if (IsAnswer(*answer, "yes")) return platform::kIdOk;
    if (IsAnswer(*answer, "no")) return platform::kIdCancel;
  }
}

}  // namespace pagewire::cli
