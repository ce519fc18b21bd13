#include "platform/win32/tooltip.h"

#include <commctrl.h>

#include <vector>

namespace pagewire::platform::win32 {

namespace {

// Dialogs with a live tooltip on this (the only) thread; nested modal
// dialogs each keep their own.
std::vector<Tooltip*>& LiveTooltips() {
  static std::vector<Tooltip*> tooltips;
  return tooltips;
}

// One hook serves every live tooltip, so that nothing is relayed twice.
HHOOK relayHook = nullptr;

bool IsMouseMessage(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_NCMOUSEMOVE;
}

}  // namespace

bool Tooltip::Create(HWND owner, int maxTipWidth, bool whenInactive) {
  owner_ = owner;
  const DWORD style = WS_POPUP | (whenInactive ? TTS_ALWAYSTIP : 0);
  tooltip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (tooltip_ == nullptr) return false;
  SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, maxTipWidth);
  if (LiveTooltips().empty()) {
    relayHook = SetWindowsHookExA(WH_GETMESSAGE, RelayHook, nullptr, GetCurrentThreadId());
  }
  LiveTooltips().push_back(this);
  return true;
}

void Tooltip::AddTool(HWND control, UINT stringId) {
  if (tooltip_ == nullptr || control == nullptr) return;
  TTTOOLINFOA tool{};
  // The version 2 size works with every comctl32, the one of Windows too.
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = owner_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.hinst = GetModuleHandleA(nullptr);
  tool.lpszText = MAKEINTRESOURCEA(stringId);
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tooltip::Activate(bool active) {
  if (tooltip_ != nullptr) SendMessageA(tooltip_, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void Tooltip::Destroy() {
  if (tooltip_ == nullptr) return;
  auto& live = LiveTooltips();
  for (auto it = live.begin(); it != live.end(); ++it) {
    if (*it == this) {
      live.erase(it);
      break;
    }
  }
  if (live.empty() && relayHook != nullptr) {
    UnhookWindowsHookEx(relayHook);
    relayHook = nullptr;
  }
  if (tooltip_ != nullptr) DestroyWindow(tooltip_);
  tooltip_ = nullptr;
}

void Tooltip::Relay(MSG& message) {
  if (!IsMouseMessage(message.message)) return;
  if (message.hwnd != owner_ && !IsChild(owner_, message.hwnd)) return;
  SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

LRESULT CALLBACK Tooltip::RelayHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    for (Tooltip* tooltip : LiveTooltips()) tooltip->Relay(*reinterpret_cast<MSG*>(lParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace pagewire::platform::win32
