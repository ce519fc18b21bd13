// The job dialogs as Win32 modal dialogs.
#pragma once

#include <string>

#include "dialogs/job_dialogs.h"
#include "platform/registry.h"

namespace pagewire::dialogs::win32 {

class Win32JobDialogs : public JobDialogs {
 public:
  // The MAC address is saved under `applicationName`.
  Win32JobDialogs(platform::Registry& registry, std::string applicationName);

  int RunPdfPrintSettingsDlg(PdfPrintSettings& settings) override;
  int RunPasswordDlg(PasswordEntry& entry) override;
  int RunFileConfirmDlg(const std::string& fileName) override;

 private:
  platform::Registry& registry_;
  std::string applicationName_;
};

}  // namespace pagewire::dialogs::win32
