// The direct-print confirmation (dialog 131): OK, Cancel, "&Print
// Settings..." and the box that makes later direct launches skip it.
#pragma once

#include <string>

#include "app/launch_decisions.h"
#include "platform/settings_store.h"
#include "platform/win32/dialog_base.h"

namespace pagewire::app {

class PrintConfirmDlg : public platform::win32::DialogBase {
 public:
  explicit PrintConfirmDlg(platform::SettingsStore& store);

  bool skipBoxUnavailable = false;  // set by start-up before the run
  std::string fileName;
  std::string printerName;

  PrintConfirmResult Run();

 protected:
  bool OnInit() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void Finish(PrintConfirmResult result);

  // The dialog's own result besides IDOK and IDCANCEL.
  static constexpr INT_PTR kIdPrintSettings = 10;

  platform::SettingsStore& store_;
};

}  // namespace pagewire::app
