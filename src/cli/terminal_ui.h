// The pagewire command's side of the user interface: messages are lines on
// standard error; questions, passwords and confirmations are asked on the
// terminal when there is one, and answered from the options otherwise.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "cli/password_line.h"
#include "job/decisions.h"
#include "platform/user_interface.h"

namespace pagewire::cli {

class TerminalUi : public platform::UserInterface, public job::Decisions {
 public:
  // `interactive`: standard input and error are a terminal, free for questions.
  TerminalUi(const CliOptions& options, bool interactive, std::string settingsPath);
  ~TerminalUi() override;
  TerminalUi(const TerminalUi&) = delete;
  TerminalUi& operator=(const TerminalUi&) = delete;

  // Reads --password-file, or --password-stdin but from a terminal, before
  // anything is sent, a line of kPasswordLineMax bytes at most; false with
  // `error` set.
  bool LoadGivenPassword(std::string& error);
  // The PATH of the command now printed, and the file its questions are
  // about: the PATH, a folder's file once named or opened.
  void StartPath(const std::string& path);
  void SetCurrentFile(const std::string& path) { currentFile_ = path; }
  // Where the command sends its jobs: a destination or the output file.
  void SetDestination(const std::string& destination) { destination_ = destination; }
  // Whether the jobs go with the PJL header (not to an IPP printer).
  void SetCarriesHeader(bool carriesHeader) { carriesHeader_ = carriesHeader; }
  // Whether a password went to the print command: its job may carry it.
  bool PasswordHandedOut() const { return passwordHandedOut_; }
  // Whether writing the output file failed: the destination failed.
  bool OutputFailed() const { return outputFailed_; }
  // A line on standard error, after the command's name; it ends a progress
  // line first.
  static void Say(const std::string& text);

  platform::MessageAnswer ShowMessageBox(const platform::MessageText& text,
                                         platform::MessageButtons buttons,
                                         platform::MessageIcon icon) override;
  // Names the file before what happened to it.
  platform::MessageAnswer ShowFileMessage(platform::FileNotice notice, const std::string& path,
                                          const platform::MessageText& text,
                                          platform::MessageButtons buttons,
                                          platform::MessageIcon icon) override;
  // In the system's words, naming the file.
  platform::MessageAnswer ShowFileError(platform::FileRole role, platform::FileErrorCause cause,
                                        const std::string& path,
                                        const platform::MessageText& text) override;
  // The command has no choosers: the job gets --output with it.
  std::optional<std::string> ChooseOpenFile(const platform::FileChooserRequest&) override;
  std::optional<std::string> ChooseSaveAsFile(const platform::FileChooserRequest&) override;

  // The options' settings over the saved ones (those of the options hold
  // the saved ones too); a chosen setting that a rule overrides is told once.
  job::SettingsAnswer PdfSettings(job::PdfPrintSettings& settings) override;
  // The same settings for a destination that carries them; to the others,
  // a TIFF goes without, which is told once when settings were chosen.
  bool TiffSettings(job::PdfPrintSettings& settings, bool takesHeader) override;
  // Typed at the prompt, or the one given once: a retry of a given
  // password has no other.
  job::PasswordAnswer Password(job::PasswordEntry& entry,
                               const job::PasswordQuestion& question) override;
  // Named, then answered by the user or --yes.
  bool GoOn(const job::GoOnQuestion& question) override;
  job::ConfirmAnswer ConfirmFolderFile(const std::string& name) override;
  std::optional<std::string> OutputFilePath() override;
  bool RetryOutputFile(const std::string& path, platform::FileErrorCause cause) override;
  // A line for each outcome that no question told of.
  void Told(const job::DocumentOutcome& outcome) override;

 private:
  // The file the questions are about, as the command names it; `otherwise`
  // before a PATH has started.
  std::string Named(const std::string& otherwise = "") const;
  std::string NamedByPath(const std::string& text) const;
  std::optional<std::string> Ask(const std::string& prompt, bool secret);
  PasswordLine AskLine(const std::string& prompt, bool secret);
  bool ReadGivenPassword();
  job::PasswordAnswer GivenPassword(job::PasswordEntry& entry);
  std::string GivenSource() const;
  void TellSent(const job::DocumentOutcome& outcome);
  void TellFailed(const job::DocumentOutcome& outcome);
  platform::MessageAnswer AskOkCancel();

  const CliOptions& options_;
  bool interactive_;
  std::string settingsPath_;
  bool carriesHeader_ = true;
  bool pdfNoticesTold_ = false;
  bool tiffNoticeTold_ = false;
  std::optional<std::string> givenPassword_;  // from standard input or the file
  bool stdinGaveNone_ = false;  // standard input ended before a password line
  std::string path_;         // the command's PATH now printed
  std::string currentFile_;  // the file its questions are about
  std::string destination_;
  bool okToAll_ = false;     // "all" answered to an OK/Cancel question
  bool passwordHandedOut_ = false;
  bool outputFailed_ = false;
};

}  // namespace pagewire::cli
