#include "dialogs/win32/win32_job_dialogs.h"

#include "dialogs/win32/file_confirm_dlg.h"
#include "dialogs/win32/password_dlg.h"
#include "dialogs/win32/pdf_print_settings_dlg.h"

namespace pagewire::dialogs::win32 {

Win32JobDialogs::Win32JobDialogs(platform::SettingsStore& store) : store_(store) {}

// Each dialog is owned by the window active when the job asks (the main
// dialog, or none in direct mode). A dialog that cannot open counts as
// cancelled.
job::SettingsDlgResult Win32JobDialogs::RunPdfPrintSettingsDlg(job::PdfPrintSettings& settings) {
  return PdfPrintSettingsDlg(settings).RunModal(GetActiveWindow()) == IDOK
             ? job::SettingsDlgResult::Ok
             : job::SettingsDlgResult::Cancel;
}

job::PasswordDlgResult Win32JobDialogs::RunPasswordDlg(job::PasswordEntry& entry) {
  return PasswordDlg(entry, store_).RunModal(GetActiveWindow()) == IDOK
             ? job::PasswordDlgResult::Ok
             : job::PasswordDlgResult::Cancel;
}

job::FileConfirmResult Win32JobDialogs::RunFileConfirmDlg(const std::string& fileName) {
  return FileConfirmDlg(fileName).Run(GetActiveWindow());
}

}  // namespace pagewire::dialogs::win32
