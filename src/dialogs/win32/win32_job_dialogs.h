// The job dialogs as Win32 modal dialogs.
#pragma once

#include <string>

#include "dialogs/job_dialogs.h"
#include "platform/settings_store.h"

namespace pagewire::dialogs::win32 {

class Win32JobDialogs : public JobDialogs {
 public:
  // The password dialog keeps the MAC address in `store`.
  explicit Win32JobDialogs(platform::SettingsStore& store);

  int RunPdfPrintSettingsDlg(PdfPrintSettings& settings) override;
  int RunPasswordDlg(PasswordEntry& entry) override;
  int RunFileConfirmDlg(const std::string& fileName) override;

 private:
  platform::SettingsStore& store_;
};

}  // namespace pagewire::dialogs::win32
