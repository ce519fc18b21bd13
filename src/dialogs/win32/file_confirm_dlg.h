// "Confirmation" (template 141): announces one file of a folder; OK, Cancel,
// "&Abort" or "&Print All". The name field shows the name in capitals.
#pragma once

#include <string>

#include "job/job_dialogs.h"
#include "platform/win32/dialog_base.h"

namespace pagewire::dialogs::win32 {

class FileConfirmDlg : public platform::win32::DialogBase {
 public:
  explicit FileConfirmDlg(std::string name);

  job::FileConfirmResult Run(HWND owner);

  std::string fileName;

 protected:
  bool OnInit() override;
  void OnOK() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  // The dialog's own results besides IDOK and IDCANCEL.
  static constexpr INT_PTR kIdAbort = 10;
  static constexpr INT_PTR kIdPrintAll = 11;
};

}  // namespace pagewire::dialogs::win32
