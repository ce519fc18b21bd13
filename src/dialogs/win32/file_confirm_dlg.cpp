#include "dialogs/win32/file_confirm_dlg.h"

#include <utility>

#include "platform/dialog_results.h"
#include "resource.h"

namespace pagewire::dialogs::win32 {

FileConfirmDlg::FileConfirmDlg(std::string name)
    : DialogBase(IDD_FILE_CONFIRM), fileName(std::move(name)) {}

bool FileConfirmDlg::OnInit() {
  SetItemText(IDC_FILE_CONFIRM_NAME, fileName);
  return true;
}

void FileConfirmDlg::OnOK() {
  fileName = ItemText(IDC_FILE_CONFIRM_NAME);
  End(platform::kIdOk);
}

bool FileConfirmDlg::OnCommand(int id, int code, HWND /*control*/) {
  if (code != BN_CLICKED) return false;
  if (id == IDC_FILE_CONFIRM_ABORT) End(platform::kIdAbort);
  else if (id == IDC_FILE_CONFIRM_PRINT_ALL) End(platform::kIdPrintAll);
  else return false;
  return true;
}

}  // namespace pagewire::dialogs::win32
