// The job dialogs as Win32 modal dialogs.
#pragma once

#include <string>

#include "job/job_dialogs.h"
#include "platform/registry.h"

namespace pagewire::dialogs::win32 {

class Win32JobDialogs : public job::JobDialogs {
 public:
  // The MAC address is saved under `applicationName`.
  Win32JobDialogs(platform::Registry& registry, std::string applicationName);

  job::SettingsDlgResult RunPdfPrintSettingsDlg(job::PdfPrintSettings& settings) override;
  job::PasswordDlgResult RunPasswordDlg(job::PasswordEntry& entry) override;
  job::FileConfirmResult RunFileConfirmDlg(const std::string& fileName) override;

 private:
  platform::Registry& registry_;
  std::string applicationName_;
};

}  // namespace pagewire::dialogs::win32
