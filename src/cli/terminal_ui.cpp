#include "cli/terminal_ui.h"

#include <strings.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "cli/file_messages.h"
#include "cli/progress_line.h"
#include "cli/terminal_answer.h"
#include "job/job_messages.h"
#include "platform/field_validation.h"
#include "platform/linux/send_interrupt.h"

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
  return " is longer than " + std::to_string(job::kPasswordMaxChars) + " characters.";
}

void StripLineEnd(std::string& line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
}

// The name a file has without its folder, as the print command gives it.
std::string LongNameOf(const std::string& path) {
  if (path == kStandardInputPath) return "(stdin)";
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  const std::size_t slash = name.rfind('/');
  if (slash != std::string::npos && name.size() > 1) name.erase(0, slash + 1);
  return name;
}

}  // namespace

TerminalUi::TerminalUi(const CliOptions& options, bool interactive, std::string settingsPath)
    : options_(options), interactive_(interactive), settingsPath_(std::move(settingsPath)) {}

TerminalUi::~TerminalUi() {
  if (givenPassword_) job::WipeSecret(*givenPassword_);
}

void TerminalUi::Say(const std::string& text) {
  EndProgressLine();
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
  job::WipeSecret(line);
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
  job::WipeSecret(line);
  return true;
}

std::optional<std::string> TerminalUi::Ask(const std::string& prompt, bool secret) {
  EndProgressLine();
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

platform::MessageAnswer TerminalUi::ShowMessageBox(const platform::MessageText& text,
                                                   platform::MessageButtons buttons,
                                                   platform::MessageIcon) {
  // A given password cannot be typed again: its retry ends with "Wrong password".
  if (options_.passwordSource != PasswordSource::Terminal &&
      text.JoinedBytes() == job::kCheckPassword) {
    return platform::MessageAnswer::Ok;
  }
  // The job that failed at its destination; the destination has told why.
  if (text.JoinedBytes() == job::kUnsupportedOperation) {
    Say(platform::SendInterruptSignal() != 0
            ? "[" + Named() + "] is not sent: interrupted."
            : "[" + Named() + "] is not sent: " +
                  (destination_.empty() ? std::string("the destination") : destination_) +
                  " did not take the job.");
  } else {
    Say(NamedByPath(text.JoinedBytes()));
  }
  switch (buttons) {
    case platform::MessageButtons::Ok: return platform::MessageAnswer::Ok;
    case platform::MessageButtons::OkCancel: return AskOkCancel();
    case platform::MessageButtons::RetryCancel: break;
  }
  // Without a terminal, a failure nobody can mend is not retried.
  if (!interactive_) return platform::MessageAnswer::Cancel;
  for (;;) {
    const std::optional<std::string> answer = Ask("Retry? (yes/no) ", false);
    if (!answer || IsAnswer(*answer, "no")) return platform::MessageAnswer::Cancel;
    if (IsAnswer(*answer, "yes")) return platform::MessageAnswer::Retry;
  }
}

// Only the user, or --yes, answers OK: the file is not sent otherwise.
platform::MessageAnswer TerminalUi::AskOkCancel() {
  if (options_.yes || okToAll_) return platform::MessageAnswer::Ok;
  if (!interactive_) {
    Say("[" + Named() + "] is not sent: no terminal to answer; --yes answers OK.");
    return platform::MessageAnswer::Cancel;
  }
  for (;;) {
    const std::optional<std::string> answer =
        Ask("Go on with " + Named() + "? (yes/no/all) ", false);
    if (!answer || IsAnswer(*answer, "no")) return platform::MessageAnswer::Cancel;
    if (strcasecmp(answer->c_str(), "all") == 0) okToAll_ = true;
    if (okToAll_ || IsAnswer(*answer, "yes")) return platform::MessageAnswer::Ok;
  }
}

platform::MessageAnswer TerminalUi::ShowFileMessage(platform::FileNotice notice,
                                                    const std::string& path,
                                                    const platform::MessageText& text,
                                                    platform::MessageButtons buttons,
                                                    platform::MessageIcon icon) {
  const std::optional<std::string> line = CommandFileMessage(notice, path, text.JoinedBytes());
  if (!line) return platform::MessageAnswer::Ok;
  return ShowMessageBox(*line, buttons, icon);
}

platform::MessageAnswer TerminalUi::ShowFileError(platform::FileRole role,
                                                  platform::FileErrorCause cause,
                                                  const std::string& path,
                                                  const platform::MessageText&) {
  if (role == platform::FileRole::Written) outputFailed_ = true;
  Say(CommandFileError(role, cause, path));
  return platform::MessageAnswer::Ok;
}

std::string TerminalUi::Named(const std::string& otherwise) const {
  return currentFile_.empty() ? otherwise : FileLabel(currentFile_);
}

// The print command names a file by its long name at the start of some
// texts; the command names it as everywhere else.
std::string TerminalUi::NamedByPath(const std::string& text) const {
  const std::string longName = "[" + LongNameOf(currentFile_) + "]";
  if (currentFile_.empty() || text.rfind(longName, 0) != 0) return text;
  return "[" + Named() + "]" + text.substr(longName.size());
}

std::optional<std::string> TerminalUi::ChooseOpenFile(const platform::FileChooserRequest&) {
  return std::nullopt;
}

std::optional<std::string> TerminalUi::ChooseSaveAsFile(const platform::FileChooserRequest&) {
  return options_.JobOutput();
}

job::SettingsDlgResult TerminalUi::RunPdfPrintSettingsDlg(job::PdfPrintSettings& settings) {
  options_.overrides.ApplyTo(settings.settings);
  if (!options_.save || SaveSettings(settings)) return job::SettingsDlgResult::Ok;
  Say("[" + Named() + "] is not sent: --save failed.");
  return job::SettingsDlgResult::Cancel;
}

// --save, tried once a command; false when the settings were not kept.
bool TerminalUi::SaveSettings(job::PdfPrintSettings& settings) {
  if (settingsSaved_) return *settingsSaved_;
  settings.saveSettings = true;
  settingsSaved_ = !settings.settingsReadOnly && settings.SaveSettings();
  if (!*settingsSaved_) {
    Say(settingsPath_.empty()
            ? "--save: no home folder is known to keep the settings in."
            : "--save: the settings file cannot be written: " + settingsPath_);
  }
  return *settingsSaved_;
}

job::PasswordDlgResult TerminalUi::RunGivenPassword(job::PasswordEntry& entry) {
  const std::string source =
      options_.passwordSource == PasswordSource::File ? "--password-file" : "--password-stdin";
  // A retry follows a wrong password: the given one will not change.
  if (!entry.password.empty()) {
    Say("[" + Named(entry.fileName) + "] is not sent: the password from " + source + " is wrong.");
    return job::PasswordDlgResult::Cancel;
  }
  if (!ReadGivenPassword()) {
    Say("[" + Named(entry.fileName) + "] needs a password, and standard input gave none.");
    return job::PasswordDlgResult::Cancel;
  }
  // An empty line is more likely an unset variable than a wish to print
  // without the password.
  if (givenPassword_->empty()) {
    Say("[" + Named(entry.fileName) + "] is not sent: the password from " + source + " is empty.");
    return job::PasswordDlgResult::Cancel;
  }
  if (!platform::ValidateUtf8TextLength(*givenPassword_, job::kPasswordMaxChars).ok()) {
    Say("[" + Named(entry.fileName) + "] is not sent: the password from " + source + TooLong());
    return job::PasswordDlgResult::Cancel;
  }
  entry.password = *givenPassword_;
  entry.passwordUtf8 = *givenPassword_;
  passwordHandedOut_ = true;
  return job::PasswordDlgResult::Ok;
}

job::PasswordDlgResult TerminalUi::RunPasswordDlg(job::PasswordEntry& entry) {
  entry.macAddress = options_.mac;
  if (options_.passwordSource != PasswordSource::Terminal) return RunGivenPassword(entry);
  if (!interactive_) {
    Say("[" + Named(entry.fileName) +
        "] needs a password: give --password-stdin or --password-file.");
    return job::PasswordDlgResult::Cancel;
  }
  for (;;) {
    std::optional<std::string> typed = Ask("Password for " + Named(entry.fileName) + ": ", true);
    if (!typed) return job::PasswordDlgResult::Cancel;
    const platform::FieldVerdict verdict =
        platform::ValidateUtf8TextLength(*typed, job::kPasswordMaxChars);
    if (verdict.ok()) {
      job::WipeSecret(entry.password);
      job::WipeSecret(entry.passwordUtf8);
      entry.password = *typed;
      entry.passwordUtf8 = *typed;
    }
    job::WipeSecret(*typed);
    if (!verdict.ok()) {
      Say("The password" + TooLong());
      continue;
    }
    // The dialog's meaning of an empty entry, said aloud.
    if (entry.password.empty()) {
      Say("No password typed: [" + Named(entry.fileName) + "] is sent without one.");
    } else {
      passwordHandedOut_ = true;
    }
    return job::PasswordDlgResult::Ok;
  }
}

job::FileConfirmResult TerminalUi::RunFileConfirmDlg(const std::string& fileName) {
  currentFile_ = path_.ends_with('/') ? path_ + fileName : path_ + "/" + fileName;
  if (!options_.confirm) return job::FileConfirmResult::Ok;
  for (;;) {
    const std::optional<std::string> answer =
        Ask("Print " + fileName + "? (yes/no/all/abort) ", false);
    if (!answer) return job::FileConfirmResult::Abort;
    if (strcasecmp(answer->c_str(), "all") == 0) return job::FileConfirmResult::PrintAll;
    if (strcasecmp(answer->c_str(), "abort") == 0) return job::FileConfirmResult::Abort;
    if (IsAnswer(*answer, "yes")) return job::FileConfirmResult::Ok;
    if (IsAnswer(*answer, "no")) return job::FileConfirmResult::Cancel;
  }
}

}  // namespace pagewire::cli
