// "Confirmation" (template 141): announces one file of a folder; OK, Cancel,
// "&Abort" or "&Print All". The name field shows the name in capitals.
#pragma once

#include <string>

#include "platform/win32/dialog_base.h"

namespace pagewire::dialogs::win32 {

class FileConfirmDlg : public platform::win32::DialogBase {
 public:
  explicit FileConfirmDlg(std::string name);

  std::string fileName;

 protected:
  bool OnInit() override;
  void OnOK() override;
  bool OnCommand(int id, int code, HWND control) override;
};

}  // namespace pagewire::dialogs::win32
