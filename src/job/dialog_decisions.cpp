#include "job/dialog_decisions.h"

#include "job/file_error_message.h"
#include "job/job_messages.h"

namespace pagewire::job {

using platform::FileNotice;
using platform::MessageAnswer;
using platform::MessageButtons;

SettingsAnswer DialogDecisions::PdfSettings(PdfPrintSettings& settings) {
  return dialogs_.RunPdfPrintSettingsDlg(settings) == SettingsDlgResult::Ok
             ? SettingsAnswer::Print
             : SettingsAnswer::Cancel;
}

PasswordAnswer DialogDecisions::Password(PasswordEntry& entry, const PasswordQuestion& question) {
  if (question.attempt > 1) Tell(ui_, kCheckPassword);
  return dialogs_.RunPasswordDlg(entry) == PasswordDlgResult::Ok ? PasswordAnswer::Try
                                                                 : PasswordAnswer::Cancel;
}

bool DialogDecisions::GoOn(const GoOnQuestion& question) {
  const std::string text = GoOnText(question);
  switch (question.kind) {
    case GoOnQuestion::Kind::ForbidsPrinting:
      return TellAbout(ui_, FileNotice::ForbidsPrinting, question.path, text,
                       MessageButtons::OkCancel) == MessageAnswer::Ok;
    case GoOnQuestion::Kind::Unreadable:
      return Tell(ui_, text, MessageButtons::OkCancel) == MessageAnswer::Ok;
    case GoOnQuestion::Kind::OtherKind: break;
  }
  return TellAbout(ui_, FileNotice::Told, question.path, text, MessageButtons::OkCancel) ==
         MessageAnswer::Ok;
}

ConfirmAnswer DialogDecisions::ConfirmFolderFile(const std::string& name) {
  switch (dialogs_.RunFileConfirmDlg(name)) {
    case FileConfirmResult::Ok: return ConfirmAnswer::Print;
    case FileConfirmResult::Cancel: return ConfirmAnswer::Skip;
    case FileConfirmResult::Abort: return ConfirmAnswer::Abort;
    case FileConfirmResult::PrintAll: break;
  }
  return ConfirmAnswer::PrintAll;
}

std::optional<std::string> DialogDecisions::OutputFilePath() {
  platform::FileChooserRequest request;
  request.filter = "Print Data Files (*.prn)|*.prn|All Files (*.*)|*.*||";
  request.defaultExtension = "prn";
  request.flags = platform::kChooserHideReadOnly | platform::kChooserLongNames;
  return ui_.ChooseSaveAsFile(request);
}

bool DialogDecisions::RetryOutputFile(const std::string& path, platform::FileErrorCause cause) {
  return ui_.ShowMessageBox(OutputFileErrorText(path, cause), MessageButtons::RetryCancel,
                            platform::MessageIcon::Stop) ==
         MessageAnswer::Retry;
}

void DialogDecisions::Told(const DocumentOutcome& outcome) {
  switch (outcome.kind) {
    case DocumentOutcome::Kind::Sent:
    case DocumentOutcome::Kind::HandedOver: return;
    case DocumentOutcome::Kind::Failed:
      if (outcome.failedAt == DocumentOutcome::FailedAt::File) {
        ui_.ShowFileError(outcome.fileRole, outcome.fileCause, outcome.path,
                          FileErrorMessage(outcome.fileCause, outcome.path));
      } else {
        ui_.ShowMessageBox(kUnsupportedOperation, MessageButtons::Ok, platform::MessageIcon::Stop);
      }
      return;
    case DocumentOutcome::Kind::Skipped: break;
  }
  switch (outcome.reason) {
    case SkipReason::WrongPassword: Tell(ui_, kWrongPassword); break;
    case SkipReason::PasswordTooLong: Tell(ui_, PasswordTooLongText(outcome.name)); break;
    case SkipReason::Blank: TellAbout(ui_, FileNotice::Told, outcome.path, kBlankFile); break;
    case SkipReason::PathTooLong: Tell(ui_, PathTooLongText(outcome.path)); break;
    // A question told of these, or the user chose them.
    case SkipReason::Cancelled:
    case SkipReason::ForbidsPrinting:
    case SkipReason::Unreadable:
    case SkipReason::OtherKind:
    case SkipReason::NoApplication: break;
  }
}

}  // namespace pagewire::job
