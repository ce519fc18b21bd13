#include "platform/win32/stand_in_job_dialogs.h"

#include "platform/dialog_results.h"

namespace pagewire::platform::win32 {

int StandInPdfPrintSettingsDlg::RunModal(dialogs::PdfPrintSettings& /*settings*/) {
  return kIdOk;
}

int StandInPasswordDlg::RunModal(PasswordDlgState& /*state*/) { return kIdCancel; }

int StandInFileConfirmDlg::RunModal(const std::string& /*fileName*/) { return kIdOk; }

}  // namespace pagewire::platform::win32
