#include "job/job_messages.h"

#include "job/text_format.h"

namespace pagewire::job {

using platform::MessageButtons;
using platform::MessageIcon;

std::string GoOnText(const GoOnQuestion& question) {
  if (question.kind == GoOnQuestion::Kind::OtherKind) {
    return "The selected file is not of a supported file format. It will be sent to the "
           "printer without being processed.";
  }
  return "[" + question.name + "] is not of a supported file format. Do you want to continue?";
}

std::string PasswordTooLongText(const std::string& fileName) {
  return "The password of [" + fileName + "] is longer than 32 bytes and cannot be sent to the "
         "printer. The file is not printed.";
}

std::string PathTooLongText(const std::string& path) {
  return "[" + path + "] is too long a path to be printed.";
}

std::string OutputFileErrorText(const std::string& path, platform::FileErrorCause cause) {
  return FormatText("Output File: %s ERROR (Error Code %d)", path.c_str(), static_cast<int>(cause));
}

platform::MessageAnswer Tell(platform::UserInterface& ui, const platform::MessageText& text,
                             MessageButtons buttons) {
  return ui.ShowMessageBox(text, buttons, MessageIcon::Exclamation);
}

platform::MessageAnswer TellAbout(platform::UserInterface& ui, platform::FileNotice notice,
                                  const std::string& path, const platform::MessageText& text,
                                  MessageButtons buttons) {
  return ui.ShowFileMessage(notice, path, text, buttons, MessageIcon::Exclamation);
}

void EndWith(Decisions& decisions, DocumentOutcome outcome) {
  decisions.Told(outcome);
  throw PrintCommandEnded{std::move(outcome)};
}

DocumentOutcome DestinationFailed(const std::string& name, const std::string& path,
                                  platform::SendFailure failure) {
  DocumentOutcome outcome;
  outcome.kind = DocumentOutcome::Kind::Failed;
  outcome.name = name;
  outcome.path = path;
  outcome.failedAt = DocumentOutcome::FailedAt::Destination;
  outcome.send = std::move(failure);
  return outcome;
}

DocumentOutcome FileFailed(const std::string& name, const std::string& path,
                           platform::FileErrorCause cause, platform::FileRole role) {
  DocumentOutcome outcome;
  outcome.kind = DocumentOutcome::Kind::Failed;
  outcome.name = name;
  outcome.path = path;
  outcome.failedAt = DocumentOutcome::FailedAt::File;
  outcome.fileCause = cause;
  outcome.fileRole = role;
  return outcome;
}

}  // namespace pagewire::job
