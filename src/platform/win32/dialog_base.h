// A small base for modal dialogs built from a template: the modal run,
// virtual hooks, one-line control helpers, data exchange with the
// framework's validation messages, and the owned tooltip control.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/field_validation.h"
#include "platform/win32/tooltip.h"

namespace pagewire::platform::win32 {

class DialogBase {
 public:
  explicit DialogBase(int templateId) : templateId_(templateId) {}
  virtual ~DialogBase() = default;
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  // DialogBoxParamA with no parent; returns the value given to End, or -1
  // when the template cannot be loaded.
  INT_PTR RunModal(HWND parent = nullptr);
  HWND Window() const { return window_; }

 protected:
  // WM_INITDIALOG; return true to let the system set the focus.
  virtual bool OnInit() { return true; }
  virtual void OnOK() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  // WM_COMMAND other than IDOK and IDCANCEL; true when handled.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  // Any other message; true when handled, with `result` the dialog result.
  virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, INT_PTR& /*result*/) { return false; }
  virtual void OnDestroy() {}

  void End(INT_PTR result) { EndDialog(window_, result); }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text);
  // The same through the Unicode calls, as UTF-8; no copy stays behind.
  std::string ItemTextUtf8(int id) const;
  void SetItemTextUtf8(int id, const std::string& text);
  void EnableItem(int id, bool enable) { EnableWindow(Item(id), enable ? TRUE : FALSE); }
  bool IsItemEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  bool IsChecked(int id) const;
  std::string ComboSelectionText(int id) const;
  // CB_SELECTSTRING from the top: the first item that begins with `prefix`.
  void ComboSelectPrefix(int id, const std::string& prefix);

  void SetItemInt(int id, int value) { SetDlgItemInt(window_, id, value, TRUE); }
  void SetChecked(int id, bool checked);
  // The selected index of a drop-down list, -1 for none.
  int ComboSelection(int id) const;
  void ComboSelect(int id, int index);
  // A validation failure of the data exchange: the message is shown, the
  // field gets the focus and its text is selected; false then.
  bool AcceptField(int id, const FieldVerdict& verdict);

  Tooltip tooltip;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND window_ = nullptr;
};

}  // namespace pagewire::platform::win32
