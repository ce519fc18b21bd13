#include "cli/terminal_ui.h"

#include <strings.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "cli/file_messages.h"
#include "cli/setting_notices.h"
#include "cli/terminal_answer.h"
#include "job/job_messages.h"
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
  return " is longer than " + std::to_string(job::kPasswordMaxChars) + " characters.";
}

void StripLineEnd(std::string& line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
}

}  // namespace

TerminalUi::TerminalUi(const CliOptions& options, bool interactive, std::string settingsPath)
    : options_(options), interactive_(interactive), settingsPath_(std::move(settingsPath)) {}

TerminalUi::~TerminalUi() {
  if (givenPassword_) job::WipeSecret(*givenPassword_);
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
    Say("[" + currentFile_ + "] is not sent: " +
        (destination_.empty() ? std::string("the destination") : destination_) +
        " did not take the job.");
  } else {
    Say(text.JoinedBytes());
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
    Say("[" + currentFile_ + "] is not sent: no terminal to answer; --yes answers OK.");
    return platform::MessageAnswer::Cancel;
  }
  for (;;) {
    const std::optional<std::string> answer =
        Ask("Go on with " + currentFile_ + "? (yes/no/all) ", false);
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

std::optional<std::string> TerminalUi::ChooseOpenFile(const platform::FileChooserRequest&) {
  return std::nullopt;
}

std::optional<std::string> TerminalUi::ChooseSaveAsFile(const platform::FileChooserRequest&) {
  return options_.JobOutput();
}

job::SettingsDlgResult TerminalUi::RunPdfPrintSettingsDlg(job::PdfPrintSettings& settings) {
  options_.overrides.ApplyTo(settings.settings);
  if (!pdfNoticesTold_) {
    pdfNoticesTold_ = true;
    for (const std::string& notice :
         OverriddenChoices(options_.overrides, settings.settings, carriesHeader_)) {
      Say(notice);
    }
  }
  return job::SettingsDlgResult::Ok;
}

bool TerminalUi::TakeTiffSettings(job::PdfPrintSettings& settings, bool takesHeader) {
  options_.overrides.ApplyTo(settings.settings);
  if (!takesHeader) return true;
  if (!tiffNoticeTold_ && !options_.overrides.Keys().empty()) {
    tiffNoticeTold_ = true;
    Say("[" + currentFile_ + "] is a TIFF, which goes without a PJL header: it is sent "
        "without the settings (copies, sides, media, ...).");
  }
  return false;
}

job::PasswordDlgResult TerminalUi::RunGivenPassword(job::PasswordEntry& entry) {
  const std::string source =
      options_.passwordSource == PasswordSource::File ? "--password-file" : "--password-stdin";
  // A retry follows a wrong password: the given one will not change.
  if (!entry.password.empty()) {
    Say("[" + entry.fileName + "] is not sent: the password from " + source + " is wrong.");
    return job::PasswordDlgResult::Cancel;
  }
  if (!ReadGivenPassword()) {
    Say("[" + entry.fileName + "] needs a password, and standard input gave none.");
    return job::PasswordDlgResult::Cancel;
  }
  // An empty line is more likely an unset variable than a wish to print
  // without the password.
  if (givenPassword_->empty()) {
    Say("[" + entry.fileName + "] is not sent: the password from " + source + " is empty.");
    return job::PasswordDlgResult::Cancel;
  }
  if (!platform::ValidateUtf8TextLength(*givenPassword_, job::kPasswordMaxChars).ok()) {
    Say("[" + entry.fileName + "] is not sent: the password from " + source + TooLong());
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
    Say("[" + entry.fileName + "] needs a password: give --password-stdin or --password-file.");
    return job::PasswordDlgResult::Cancel;
  }
  for (;;) {
    std::optional<std::string> typed = Ask("Password for " + entry.fileName + ": ", true);
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
      Say("No password typed: [" + entry.fileName + "] is sent without one.");
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
