#include "dialogs/win32/password_dlg.h"

#include "platform/win32/message_box.h"
#include "resource.h"

namespace pagewire::dialogs::win32 {
namespace {

constexpr int kTooltipMaxWidth = 150;  // pixels
constexpr int kDetailsMargin = 20;     // pixels below the details area

std::string TextOf(HWND window) {
  char text[64] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace

PasswordDlg::PasswordDlg(job::PasswordEntry& entry, platform::SettingsStore& store)
    : DialogBase(IDD_PASSWORD), entry_(entry), store_(store) {}

bool PasswordDlg::OnInit() {
  SetItemText(IDC_PASSWORD_FILE_NAME, entry_.fileName);
  // A retry shows the previous entry, read back as typed.
  if (entry_.passwordUtf8.empty()) SetItemText(IDC_PASSWORD, entry_.password);
  else SetItemTextUtf8(IDC_PASSWORD, entry_.passwordUtf8);
  SendMessageA(Item(IDC_PASSWORD), EM_LIMITTEXT, job::kPasswordMaxChars, 0);
  CreateTooltips();
  if (entry_.macEntryDisabled) {
    EnableItem(IDC_DETAILED, false);
  } else if (const auto saved = store_.LoadMacAddress()) {
    const std::vector<std::string> texts = MacFieldTexts(*saved);
    const std::vector<HWND> fields = AddressFields();
    for (std::size_t i = 0; i < fields.size(); ++i) SetWindowTextA(fields[i], texts[i].c_str());
  }
  ShowDetails(false);
  SetActiveWindow(Item(IDC_PASSWORD));
  SetFocus(Item(IDC_PASSWORD));
  return false;  // the focus is set
}

void PasswordDlg::CreateTooltips() {
  if (!tooltip.Create(Window(), kTooltipMaxWidth, false)) return;
  tooltip.AddTool(Item(IDC_PASSWORD), IDS_TIP_PASSWORD);
  tooltip.AddTool(Item(IDC_PASSWORD_FILE_NAME), IDS_TIP_PASSWORD_FILE);
  for (int id = IDC_MAC_FIELD_1; id <= IDC_MAC_FIELD_6; ++id) {
    tooltip.AddTool(Item(id), IDS_TIP_MAC_ADDRESS);
  }
  tooltip.AddTool(Item(IDC_DETAILED), IDS_TIP_MAC_ADDRESS);
  tooltip.Activate(true);
}

void PasswordDlg::ShowDetails(bool expanded) {
  RECT window;
  RECT details;
  GetWindowRect(Window(), &window);
  GetWindowRect(Item(IDC_DETAILS_GROUP), &details);
  const int height =
      expanded ? details.bottom - window.top + kDetailsMargin : details.top - window.top;
  MoveWindow(Window(), window.left, window.top, window.right - window.left, height, TRUE);
}

std::vector<HWND> PasswordDlg::AddressFields() const {
  std::vector<HWND> fields;
  for (HWND field = Item(IDC_MAC_FIELD_1); field != nullptr && fields.size() < kMacFieldCount;
       field = GetNextDlgTabItem(Window(), field, FALSE)) {
    fields.push_back(field);
  }
  return fields;
}

void PasswordDlg::OnOK() {
  // The code-page copy for revisions 2 to 4, the UTF-8 one for 5 and 6.
  std::string typed = ItemText(IDC_PASSWORD);
  entry_.password.swap(typed);
  job::WipeSecret(typed);  // the previous entry
  typed = ItemTextUtf8(IDC_PASSWORD);
  entry_.passwordUtf8.swap(typed);
  job::WipeSecret(typed);
  std::vector<std::string> texts;
  for (HWND field : AddressFields()) texts.push_back(TextOf(field));
  if (!ApplyMacFields(texts, store_, entry_)) {
    platform::win32::ShowWideMessageBox(Window(), kMacFieldsMalformed, MB_OK);
    return;
  }
  // Characters, as the field limits them, not the code-page copy's bytes.
  if (!AcceptField(IDC_PASSWORD, platform::ValidateUtf8TextLength(entry_.passwordUtf8,
                                                                  job::kPasswordMaxChars))) {
    return;
  }
  End(IDOK);
}

bool PasswordDlg::OnCommand(int id, int code, HWND /*control*/) {
  if (id != IDC_DETAILED || code != BN_CLICKED) return false;
  ShowDetails(true);
  return true;
}

}  // namespace pagewire::dialogs::win32
