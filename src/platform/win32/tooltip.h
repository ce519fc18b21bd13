// A tooltip control owned by one dialog. Tools are added without
// TTF_SUBCLASS, so the dialog's mouse messages are relayed to it with
// TTM_RELAYEVENT before the dialog manager sees them (a message hook, since
// a modal dialog runs the system's own loop).
#pragma once

#include <windows.h>

namespace pagewire::platform::win32 {

class Tooltip {
 public:
  Tooltip() = default;
  ~Tooltip() { Destroy(); }
  Tooltip(const Tooltip&) = delete;
  Tooltip& operator=(const Tooltip&) = delete;

  // `whenInactive`: tips show also while the owner is not the active window.
  bool Create(HWND owner, int maxTipWidth, bool whenInactive = true);
  // Registers a control with a string table text.
  void AddTool(HWND control, UINT stringId);
  void Activate(bool active);
  void Destroy();
  HWND Window() const { return tooltip_; }

 private:
  static LRESULT CALLBACK RelayHook(int code, WPARAM wParam, LPARAM lParam);
  void Relay(MSG& message);

  HWND owner_ = nullptr;
  HWND tooltip_ = nullptr;
};

}  // namespace pagewire::platform::win32
