// The direct-print confirmation (dialog 131): OK, Cancel, "&Print
// Settings..." and the box that makes later direct launches skip it.
#pragma once

#include <string>

#include "platform/settings_store.h"
#include "platform/win32/dialog_base.h"

namespace pagewire::app {

class PrintConfirmDlg : public platform::win32::DialogBase {
 public:
  explicit PrintConfirmDlg(platform::SettingsStore& store);

  int skipBoxUnavailable = 0;  // set by start-up before the run
  std::string fileName;
  std::string printerName;

 protected:
  bool OnInit() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void Finish(int result);

  platform::SettingsStore& store_;
};

}  // namespace pagewire::app
