// Message boxes with text in the system code page or UTF-8 runs.
#pragma once

#include <windows.h>

#include <string>

#include "platform/message_text.h"

namespace pagewire::platform::win32 {

// Each run converted from its own encoding, joined.
std::wstring WideTextOf(const MessageText& text);

// The caption every box of the program carries (the application's name).
void SetMessageBoxCaption(const std::string& caption);
const std::string& MessageBoxCaption();

// MessageBoxW owned by `owner` (or the active window when null).
int ShowWideMessageBox(HWND owner, const MessageText& text, UINT style);

}  // namespace pagewire::platform::win32
