// The job dialogs as Win32 modal dialogs.
#pragma once

#include <string>

#include "job/job_dialogs.h"
#include "platform/settings_store.h"

namespace pagewire::dialogs::win32 {

class Win32JobDialogs : public job::JobDialogs {
 public:
  // The password dialog keeps the MAC address in `store`.
  explicit Win32JobDialogs(platform::SettingsStore& store);

  job::SettingsDlgResult RunPdfPrintSettingsDlg(job::PdfPrintSettings& settings) override;
  job::PasswordDlgResult RunPasswordDlg(job::PasswordEntry& entry) override;
  job::FileConfirmResult RunFileConfirmDlg(const std::string& fileName) override;

 private:
  platform::SettingsStore& store_;
};

}  // namespace pagewire::dialogs::win32
