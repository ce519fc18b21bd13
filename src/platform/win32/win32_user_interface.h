// User interface port: message boxes and the file choosers.
#pragma once

#include "platform/user_interface.h"

namespace pagewire::platform::win32 {

class Win32UserInterface : public UserInterface {
 public:
  MessageAnswer ShowMessageBox(const MessageText& text, MessageButtons buttons,
                               MessageIcon icon) override;
  std::optional<std::string> ChooseOpenFile(const FileChooserRequest& request) override;
  std::optional<std::string> ChooseSaveAsFile(const FileChooserRequest& request) override;
};

}  // namespace pagewire::platform::win32
