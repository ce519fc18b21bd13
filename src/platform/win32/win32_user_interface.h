// User interface port: message boxes, the job dialogs and the file choosers.
#pragma once

#include "platform/user_interface.h"

namespace pagewire::platform::win32 {

class Win32UserInterface : public UserInterface {
 public:
  int ShowMessageBox(const MessageText& text, MessageButtons buttons, MessageIcon icon) override;
  int RunPdfPrintSettingsDlg(dialogs::PdfPrintSettings& settings) override;
  int RunPasswordDlg(PasswordDlgState& state) override;
  int RunFileConfirmDlg(const std::string& fileName) override;
  std::optional<std::string> ChooseOpenFile(const FileChooserRequest& request) override;
  std::optional<std::string> ChooseSaveAsFile(const FileChooserRequest& request) override;
};

}  // namespace pagewire::platform::win32
