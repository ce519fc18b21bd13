#include "app/win32/print_confirm_dlg.h"

#include <algorithm>

#include "app/launch_decisions.h"
#include "app/show_drag_dlg_key.h"
#include "resource.h"

namespace pagewire::app {

PrintConfirmDlg::PrintConfirmDlg(platform::SettingsStore& store)
    : DialogBase(IDD_PRINT_CONFIRM), store_(store) {}

bool PrintConfirmDlg::OnInit() {
  SetItemText(IDC_CONFIRM_FILE_NAME, fileName);
  SetItemText(IDC_CONFIRM_PRINTER_NAME, printerName);
  // The field keeps the name's own letters; only the member is lowered.
  std::transform(fileName.begin(), fileName.end(), fileName.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  if (!PrintSettingsAvailable(fileName)) EnableItem(IDC_CONFIRM_PRINT_SETTINGS, false);
  if (skipBoxUnavailable) EnableItem(IDC_CONFIRM_SKIP, false);
  return true;
}

PrintConfirmResult PrintConfirmDlg::Run() {
  switch (RunModal()) {
    case IDCANCEL: return PrintConfirmResult::Cancel;
    case kIdPrintSettings: return PrintConfirmResult::PrintSettings;
    // A dialog that could not open (-1) prints without asking, as OK does.
    default: return PrintConfirmResult::Ok;
  }
}

void PrintConfirmDlg::Finish(PrintConfirmResult result) {
  ApplyConfirmEnding(store_, result, IsChecked(IDC_CONFIRM_SKIP));
  switch (result) {
    case PrintConfirmResult::Ok: End(IDOK); break;
    case PrintConfirmResult::Cancel: End(IDCANCEL); break;
    case PrintConfirmResult::PrintSettings: End(kIdPrintSettings); break;
  }
}

void PrintConfirmDlg::OnOK() {
  fileName = ItemText(IDC_CONFIRM_FILE_NAME);
  printerName = ItemText(IDC_CONFIRM_PRINTER_NAME);
  Finish(PrintConfirmResult::Ok);
}

void PrintConfirmDlg::OnCancel() { Finish(PrintConfirmResult::Cancel); }

bool PrintConfirmDlg::OnCommand(int id, int code, HWND /*control*/) {
  if (id != IDC_CONFIRM_PRINT_SETTINGS || code != BN_CLICKED) return false;
  Finish(PrintConfirmResult::PrintSettings);
  return true;
}

}  // namespace pagewire::app
