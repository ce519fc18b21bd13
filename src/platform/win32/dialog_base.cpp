#include "platform/win32/dialog_base.h"

#include <vector>

#include "app/validation_messages.h"
#include "platform/win32/message_box.h"

namespace pagewire::platform::win32 {

INT_PTR DialogBase::RunModal(HWND parent) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent,
                         DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<DialogBase*>(lParam)->window_ = window;
  }
  auto* dialog = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
  if (dialog == nullptr) return FALSE;
  // No exception may leave a window procedure: the system's loop cannot
  // pass it on. A dialog that fails this way ends as cancelled.
  try {
    return dialog->Dispatch(message, wParam, lParam);
  } catch (...) {
    EndDialog(window, IDCANCEL);
    return TRUE;
  }
}

INT_PTR DialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDOK && code == BN_CLICKED) {
        OnOK();
        return TRUE;
      }
      if (id == IDCANCEL && code == BN_CLICKED) {
        OnCancel();
        return TRUE;
      }
      return OnCommand(id, code, reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    }
    case WM_DESTROY:
      // The tooltip goes before the window itself.
      tooltip.Destroy();
      OnDestroy();
      return FALSE;
    case WM_NCDESTROY:
      SetWindowLongPtrA(window_, DWLP_USER, 0);
      window_ = nullptr;
      return FALSE;
    default: {
      INT_PTR result = FALSE;
      if (!OnMessage(message, wParam, lParam, result)) return FALSE;
      return result;
    }
  }
}

std::string DialogBase::ItemText(int id) const {
  HWND item = Item(id);
  const int length = GetWindowTextLengthA(item);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  const int copied = GetWindowTextA(item, buffer.data(), length + 1);
  return std::string(buffer.data(), copied > 0 ? copied : 0);
}

void DialogBase::SetItemText(int id, const std::string& text) {
  SetDlgItemTextA(window_, id, text.c_str());
}

bool DialogBase::IsChecked(int id) const {
  return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string DialogBase::ComboSelectionText(int id) const {
  HWND combo = Item(id);
  const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data());
}

void DialogBase::ComboSelectPrefix(int id, const std::string& prefix) {
  SendMessageA(Item(id), CB_SELECTSTRING, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(prefix.c_str()));
}

void DialogBase::FailField(int id, const std::string& message) {
  ShowFrameworkMessage(window_, message);
  HWND field = Item(id);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
}

bool DialogBase::ExchangePositiveInt(int id, int& value) {
  const auto verdict = app::ValidatePositiveInteger(ItemText(id));
  if (!verdict.ok || verdict.value > INT_MAX) {
    FailField(id, app::kEnterPositiveInteger);
    return false;
  }
  value = static_cast<int>(verdict.value);
  return true;
}

bool DialogBase::ExchangeIntInRange(int id, int low, int high, int& value) {
  const auto verdict = app::ValidateIntegerInRange(ItemText(id), low, high);
  if (!verdict.ok) {
    FailField(id, verdict.message);
    return false;
  }
  value = static_cast<int>(verdict.value);
  return true;
}

bool DialogBase::ExchangeTextLimited(int id, std::size_t maxChars, std::string& value) {
  std::string text = ItemText(id);
  if (!app::TextFits(text, maxChars)) {
    FailField(id, app::EnterNoMoreThanMessage(maxChars));
    return false;
  }
  value = std::move(text);
  return true;
}

}  // namespace pagewire::platform::win32
