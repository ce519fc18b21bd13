#include "dialogs/win32/file_confirm_dlg.h"

#include <utility>

#include "resource.h"

namespace pagewire::dialogs::win32 {

FileConfirmDlg::FileConfirmDlg(std::string name)
    : DialogBase(IDD_FILE_CONFIRM), fileName(std::move(name)) {}

job::FileConfirmResult FileConfirmDlg::Run(HWND owner) {
  switch (RunModal(owner)) {
    case IDOK: return job::FileConfirmResult::Ok;
    case kIdAbort: return job::FileConfirmResult::Abort;
    case kIdPrintAll: return job::FileConfirmResult::PrintAll;
    default: return job::FileConfirmResult::Cancel;  // also when the dialog could not open
  }
}

bool FileConfirmDlg::OnInit() {
  SetItemText(IDC_FILE_CONFIRM_NAME, fileName);
  return true;
}

void FileConfirmDlg::OnOK() {
  fileName = ItemText(IDC_FILE_CONFIRM_NAME);
  End(IDOK);
}

bool FileConfirmDlg::OnCommand(int id, int code, HWND /*control*/) {
  if (code != BN_CLICKED) return false;
  if (id == IDC_FILE_CONFIRM_ABORT) End(kIdAbort);
  else if (id == IDC_FILE_CONFIRM_PRINT_ALL) End(kIdPrintAll);
  else return false;
  return true;
}

}  // namespace pagewire::dialogs::win32
