// Stand-ins for the job dialogs until their Win32 views exist. Each is
// replaced by the real dialog of the job dialogs' work (the "PDF File
// Print" settings, "Enter Password" and the folder "Confirmation").
#pragma once

#include <string>

#include "platform/user_interface.h"

namespace pagewire::platform::win32 {

// Answers OK without touching the record, so a PDF prints with the
// command's settings (defaults and saved settings).
class StandInPdfPrintSettingsDlg {
 public:
  int RunModal(dialogs::PdfPrintSettings& settings);
};

// Answers Cancel: no password is entered.
class StandInPasswordDlg {
 public:
  int RunModal(PasswordDlgState& state);
};

// Answers OK: every file of a folder is printed.
class StandInFileConfirmDlg {
 public:
  int RunModal(const std::string& fileName);
};

}  // namespace pagewire::platform::win32
