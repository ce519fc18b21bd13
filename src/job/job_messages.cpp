#include "job/job_messages.h"

#include "job/file_error_message.h"

namespace pagewire::job {

using platform::MessageButtons;
using platform::MessageIcon;

platform::MessageAnswer Tell(platform::UserInterface& ui, const platform::MessageText& text,
                             MessageButtons buttons) {
  return ui.ShowMessageBox(text, buttons, MessageIcon::Exclamation);
}

platform::MessageAnswer TellAbout(platform::UserInterface& ui, platform::FileNotice notice,
                                  const std::string& path, const platform::MessageText& text,
                                  MessageButtons buttons) {
  return ui.ShowFileMessage(notice, path, text, buttons, MessageIcon::Exclamation);
}

void EndWithPrinterFailure(platform::UserInterface& ui) {
  ui.ShowMessageBox(kUnsupportedOperation, MessageButtons::Ok, MessageIcon::Stop);
  throw PrintCommandEnded{true};
}

void EndWithFileError(platform::UserInterface& ui, platform::FileErrorCause cause,
                      const std::string& path, platform::FileRole role) {
  ui.ShowFileError(role, cause, path, FileErrorMessage(cause, path));
  throw PrintCommandEnded{};
}

}  // namespace pagewire::job
