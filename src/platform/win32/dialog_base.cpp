#include "platform/win32/dialog_base.h"

#include <vector>

#include "platform/field_validation.h"
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
  std::string text(buffer.data(), copied > 0 ? copied : 0);
  // The text may be a password: leave no copy behind.
  SecureZeroMemory(buffer.data(), buffer.size());
  return text;
}

void DialogBase::SetItemText(int id, const std::string& text) {
  SetDlgItemTextA(window_, id, text.c_str());
}

std::string DialogBase::ItemTextUtf8(int id) const {
  HWND item = Item(id);
  const int length = GetWindowTextLengthW(item);
  if (length <= 0) return {};
  std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 1);
  const int copied = GetWindowTextW(item, wide.data(), length + 1);
  std::string text;
  const int bytes =
      copied > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide.data(), copied, nullptr, 0, nullptr, nullptr)
                 : 0;
  if (bytes > 0) {
    text.resize(static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), copied, text.data(), bytes, nullptr, nullptr);
  }
  SecureZeroMemory(wide.data(), wide.size() * sizeof(wchar_t));
  return text;
}

void DialogBase::SetItemTextUtf8(int id, const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
  std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  }
  SetDlgItemTextW(window_, id, wide.data());
  SecureZeroMemory(wide.data(), wide.size() * sizeof(wchar_t));
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

void DialogBase::SetChecked(int id, bool checked) {
  SendMessageA(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int DialogBase::ComboSelection(int id) const {
  const LRESULT index = SendMessageA(Item(id), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void DialogBase::ComboSelect(int id, int index) {
  SendMessageA(Item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool DialogBase::AcceptField(int id, const FieldVerdict& verdict) {
  if (verdict.ok()) return true;
  ShowWideMessageBox(window_, MessageText(verdict.message),
                     MB_OK | (verdict.plainBox ? 0 : MB_ICONEXCLAMATION));
  HWND field = Item(id);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
  return false;
}

}  // namespace pagewire::platform::win32
