#include "dialogs/win32/win32_job_dialogs.h"

#include "dialogs/win32/file_confirm_dlg.h"
#include "dialogs/win32/password_dlg.h"
#include "dialogs/win32/pdf_print_settings_dlg.h"

namespace pagewire::dialogs::win32 {

Win32JobDialogs::Win32JobDialogs(platform::SettingsStore& store) : store_(store) {}

// Each dialog is owned by the window active when the job asks (the main
// dialog, or none in direct mode).
int Win32JobDialogs::RunPdfPrintSettingsDlg(PdfPrintSettings& settings) {
  return static_cast<int>(PdfPrintSettingsDlg(settings).RunModal(GetActiveWindow()));
}

int Win32JobDialogs::RunPasswordDlg(PasswordEntry& entry) {
  return static_cast<int>(PasswordDlg(entry, store_).RunModal(GetActiveWindow()));
}

int Win32JobDialogs::RunFileConfirmDlg(const std::string& fileName) {
  return static_cast<int>(FileConfirmDlg(fileName).RunModal(GetActiveWindow()));
}

}  // namespace pagewire::dialogs::win32
