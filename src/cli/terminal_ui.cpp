#include "cli/terminal_ui.h"

#include <strings.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/file_messages.h"
#include "cli/password_line.h"
#include "cli/pdf_doc_encoding.h"
#include "cli/progress_line.h"
#include "cli/setting_notices.h"
#include "cli/terminal_answer.h"
#include "job/job_messages.h"
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

// The end of a line about a password line longer than is read.
std::string TooLong() {
  return " is longer than " + std::to_string(kPasswordLineMax) + " bytes";
}

// The entry's forms of a password given or typed: its bytes, and for a file
// of revisions 2 to 4 that stores it so, its UTF-8 in PDFDocEncoding.
void SetPassword(job::PasswordEntry& entry, const std::string& password) {
  job::WipeSecret(entry.password);
  job::WipeSecret(entry.passwordUtf8);
  job::WipeSecret(entry.passwordPdfDoc);
  entry.password = password;
  entry.passwordUtf8 = password;
  std::optional<std::string> pdfDoc = Utf8ToPdfDocEncoding(password);
  if (pdfDoc && *pdfDoc != password) entry.passwordPdfDoc = *pdfDoc;
  if (pdfDoc) job::WipeSecret(*pdfDoc);
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

bool TerminalUi::LoadGivenPassword(std::string& error) {
  if (options_.passwordSource == PasswordSource::Terminal) return true;
  // Standard input on a terminal is read once a file needs the password.
  if (options_.passwordSource == PasswordSource::StandardInput) {
    if (isatty(STDIN_FILENO)) return true;
    const PasswordLine line = ReadPasswordLine(stdin);
    switch (line.status) {
      case PasswordLine::Status::Line: givenPassword_ = line.text; break;
      case PasswordLine::Status::NoLine: stdinGaveNone_ = true; break;
      case PasswordLine::Status::TooLong:
        error = "--password-stdin: the password" + TooLong();
        return false;
      case PasswordLine::Status::Failed:
        error = "--password-stdin: cannot read standard input: " +
                std::string(std::strerror(line.error));
        return false;
    }
    return true;
  }
  const std::string& path = options_.passwordFile;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                              &std::fclose);
  if (!file) {
    error = "--password-file: cannot read '" + path + "': " + std::strerror(errno);
    return false;
  }
  const PasswordLine line = ReadPasswordLine(file.get());
  switch (line.status) {
    case PasswordLine::Status::Line: givenPassword_ = line.text; return true;
    case PasswordLine::Status::NoLine: error = "--password-file: '" + path + "' is empty"; break;
    case PasswordLine::Status::TooLong:
      error = "--password-file: the first line of '" + path + "'" + TooLong();
      break;
    case PasswordLine::Status::Failed:
      error = "--password-file: cannot read '" + path + "': " + std::strerror(line.error);
      break;
  }
  return false;
}

void TerminalUi::StartPath(const std::string& path) {
  path_ = path;
  currentFile_ = path;
}

bool TerminalUi::ReadGivenPassword() {
  if (givenPassword_) return true;
  if (stdinGaveNone_) return false;
  const PasswordLine line = ReadPasswordLine(stdin);
  if (line.status == PasswordLine::Status::TooLong) SkipLine(stdin);
  stdinGaveNone_ = line.status != PasswordLine::Status::Line;
  if (stdinGaveNone_) return false;
  givenPassword_ = line.text;
  return true;
}

std::optional<std::string> TerminalUi::Ask(const std::string& prompt, bool secret) {
  const PasswordLine line = AskLine(prompt, secret);
  if (line.status == PasswordLine::Status::Line) return line.text;
  if (line.status == PasswordLine::Status::TooLong) return std::string();  // no answer
  return std::nullopt;
}

PasswordLine TerminalUi::AskLine(const std::string& prompt, bool secret) {
  EndProgressLine();
  std::cerr << prompt << std::flush;
  std::optional<EchoOff> echoOff;
  if (secret) echoOff.emplace();
  PasswordLine line = ReadPasswordLine(stdin);
  if (line.status == PasswordLine::Status::TooLong) SkipLine(stdin);
  if (line.status != PasswordLine::Status::Line && line.status != PasswordLine::Status::TooLong &&
      !secret) {
    std::cerr << '\n';
  }
  return line;
}

platform::MessageAnswer TerminalUi::ShowMessageBox(const platform::MessageText& text,
                                                   platform::MessageButtons buttons,
                                                   platform::MessageIcon) {
  Say(NamedByPath(text.JoinedBytes()));
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
  return std::nullopt;
}

std::optional<std::string> TerminalUi::OutputFilePath() { return options_.JobOutput(); }

bool TerminalUi::RetryOutputFile(const std::string& path, platform::FileErrorCause cause) {
  return ShowMessageBox(job::OutputFileErrorText(path, cause),
                        platform::MessageButtons::RetryCancel,
                        platform::MessageIcon::Stop) == platform::MessageAnswer::Retry;
}

bool TerminalUi::GoOn(const job::GoOnQuestion& question) {
  using Kind = job::GoOnQuestion::Kind;
  const std::string text = job::GoOnText(question);
  const platform::MessageAnswer answer =
      question.kind == Kind::Unreadable
          ? ShowMessageBox(text, platform::MessageButtons::OkCancel,
                           platform::MessageIcon::Exclamation)
          : ShowFileMessage(question.kind == Kind::ForbidsPrinting
                                ? platform::FileNotice::ForbidsPrinting
                                : platform::FileNotice::Told,
                            question.path, text, platform::MessageButtons::OkCancel,
                            platform::MessageIcon::Exclamation);
  return answer == platform::MessageAnswer::Ok;
}

void TerminalUi::Told(const job::DocumentOutcome& outcome) {
  using Kind = job::DocumentOutcome::Kind;
  using platform::MessageButtons;
  using platform::MessageIcon;
  switch (outcome.kind) {
    case Kind::Sent: TellSent(outcome); return;
    case Kind::HandedOver: return;
    case Kind::Failed: TellFailed(outcome); return;
    case Kind::Skipped: break;
  }
  switch (outcome.reason) {
    case job::SkipReason::WrongPassword:
      if (options_.passwordSource == PasswordSource::Terminal) {
        ShowMessageBox(job::kWrongPassword, MessageButtons::Ok, MessageIcon::Exclamation);
      } else {
        Say("[" + Named(outcome.name) + "] is not sent: the password from " + GivenSource() +
            " is wrong.");
      }
      break;
    case job::SkipReason::PasswordTooLong:
      ShowMessageBox(job::PasswordTooLongText(outcome.name), MessageButtons::Ok,
                     MessageIcon::Exclamation);
      break;
    case job::SkipReason::Blank:
      ShowFileMessage(platform::FileNotice::Told, outcome.path, job::kBlankFile,
                      MessageButtons::Ok, MessageIcon::Exclamation);
      break;
    case job::SkipReason::PathTooLong:
      ShowMessageBox(job::PathTooLongText(outcome.path), MessageButtons::Ok,
                     MessageIcon::Exclamation);
      break;
    // Its question said why.
    case job::SkipReason::Cancelled:
    case job::SkipReason::ForbidsPrinting:
    case job::SkipReason::Unreadable:
    case job::SkipReason::OtherKind:
    case job::SkipReason::NoApplication: break;
  }
}

// As lp tells a job that took its document; with a wait, how it ended.
void TerminalUi::TellSent(const job::DocumentOutcome& outcome) {
  if (!outcome.end) {
    if (!outcome.jobId.empty()) {
      EndProgressLine();
      std::cout << "request id is " << outcome.jobId << " (1 file(s))" << std::endl;
    }
    return;
  }
  Say(destination_ + ": " + outcome.name + ": " +
      (outcome.end->printed ? std::string("printed") : "not printed: " + outcome.end->reason));
}

// The job that failed at its destination: the destination's words for it,
// then which file was not sent.
void TerminalUi::TellFailed(const job::DocumentOutcome& outcome) {
  if (outcome.failedAt == job::DocumentOutcome::FailedAt::File) {
    ShowFileError(outcome.fileRole, outcome.fileCause, outcome.path, {});
    return;
  }
  const bool interrupted = outcome.send.kind == platform::SendFailure::Kind::Interrupted ||
                           platform::SendInterruptSignal() != 0;
  if (!outcome.send.cause.empty()) {
    Say((destination_.empty() ? std::string() : destination_ + ": ") + outcome.send.cause);
  }
  Say(interrupted ? "[" + Named() + "] is not sent: interrupted."
                  : "[" + Named() + "] is not sent: " +
                        (destination_.empty() ? std::string("the destination") : destination_) +
                        " did not take the job.");
}

job::SettingsAnswer TerminalUi::PdfSettings(job::PdfPrintSettings& settings) {
  options_.overrides.ApplyTo(settings.settings);
  if (!pdfNoticesTold_) {
    pdfNoticesTold_ = true;
    for (const std::string& notice :
         OverriddenChoices(options_.overrides, settings.settings, carriesHeader_)) {
      Say(notice);
    }
  }
  return job::SettingsAnswer::Print;
}

bool TerminalUi::TiffSettings(job::PdfPrintSettings& settings, bool takesHeader) {
  options_.overrides.ApplyTo(settings.settings);
  if (!takesHeader) return true;
  if (!tiffNoticeTold_ && !options_.overrides.Keys().empty()) {
    tiffNoticeTold_ = true;
    Say("[" + Named() + "] is a TIFF, which goes without a PJL header: it is sent "
        "without the settings (copies, sides, media, ...).");
  }
  return false;
}

std::string TerminalUi::GivenSource() const {
  return options_.passwordSource == PasswordSource::File ? "--password-file" : "--password-stdin";
}

job::PasswordAnswer TerminalUi::GivenPassword(job::PasswordEntry& entry) {
  if (!ReadGivenPassword()) {
    Say("[" + Named(entry.fileName) + "] needs a password, and standard input gave none.");
    return job::PasswordAnswer::Cancel;
  }
  // An empty line is more likely an unset variable than a wish to print
  // without the password.
  if (givenPassword_->empty()) {
    Say("[" + Named(entry.fileName) + "] is not sent: the password from " + GivenSource() +
        " is empty.");
    return job::PasswordAnswer::Cancel;
  }
  // Its destination applies its own limit: the header's 32 bytes, or the
  // IPP printer's document-password-supported.
  SetPassword(entry, *givenPassword_);
  passwordHandedOut_ = true;
  return job::PasswordAnswer::Try;
}

job::PasswordAnswer TerminalUi::Password(job::PasswordEntry& entry,
                                         const job::PasswordQuestion& question) {
  entry.macAddress = options_.mac;
  if (options_.passwordSource != PasswordSource::Terminal) {
    // A retry follows a wrong password: the given one will not change.
    return question.attempt > 1 ? job::PasswordAnswer::NoOther : GivenPassword(entry);
  }
  if (question.attempt > 1) {
    ShowMessageBox(job::kCheckPassword, platform::MessageButtons::Ok,
                   platform::MessageIcon::Exclamation);
  }
  if (!interactive_) {
    // The file on standard input leaves only the file for the password.
    Say("[" + Named(entry.fileName) + "] needs a password: give " +
        (options_.ReadsStandardInput() ? "--password-file."
                                       : "--password-stdin or --password-file."));
    return job::PasswordAnswer::Cancel;
  }
  for (;;) {
    const PasswordLine typed = AskLine("Password for " + Named(entry.fileName) + ": ", true);
    if (typed.status == PasswordLine::Status::TooLong) {
      Say("The password" + TooLong() + ".");
      continue;
    }
    if (typed.status != PasswordLine::Status::Line) {
      Say("[" + Named(entry.fileName) + "] is not sent: " +
          (typed.status == PasswordLine::Status::Failed
               ? "the password prompt cannot read the terminal: " +
                     std::string(std::strerror(typed.error))
               : std::string("the password prompt got end of input (Ctrl-D).")));
      return job::PasswordAnswer::Cancel;
    }
    SetPassword(entry, typed.text);
    // The dialog's meaning of an empty entry, said aloud.
    if (entry.password.empty()) {
      Say("No password typed: [" + Named(entry.fileName) + "] is sent without one.");
    } else {
      passwordHandedOut_ = true;
    }
    return job::PasswordAnswer::Try;
  }
}

job::ConfirmAnswer TerminalUi::ConfirmFolderFile(const std::string& fileName) {
  currentFile_ = path_.ends_with('/') ? path_ + fileName : path_ + "/" + fileName;
  if (!options_.confirm) return job::ConfirmAnswer::Print;
  for (;;) {
    const std::optional<std::string> answer =
        Ask("Print " + fileName + "? (yes/no/all/abort) ", false);
    if (!answer) return job::ConfirmAnswer::Abort;
    if (strcasecmp(answer->c_str(), "all") == 0) return job::ConfirmAnswer::PrintAll;
    if (strcasecmp(answer->c_str(), "abort") == 0) return job::ConfirmAnswer::Abort;
    if (IsAnswer(*answer, "yes")) return job::ConfirmAnswer::Print;
    if (IsAnswer(*answer, "no")) return job::ConfirmAnswer::Skip;
  }
}

}  // namespace pagewire::cli
