#include "platform/win32/message_box.h"

namespace pagewire::platform::win32 {

namespace {

std::wstring Widen(const std::string& bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                      length);
  return wide;
}

std::string& Caption() {
  static std::string caption = "Pagewire";
  return caption;
}

}  // namespace

std::wstring WideTextOf(const MessageText& text) {
  std::wstring wide;
  for (const TextRun& run : text.Runs()) {
    wide += Widen(run.bytes, run.encoding == TextEncoding::Utf8 ? CP_UTF8 : CP_ACP);
  }
  return wide;
}

void SetMessageBoxCaption(const std::string& caption) { Caption() = caption; }
const std::string& MessageBoxCaption() { return Caption(); }

int ShowWideMessageBox(HWND owner, const MessageText& text, UINT style) {
  if (owner == nullptr) owner = GetActiveWindow();
  // Without an owner the box still blocks this thread's other windows.
  if (owner == nullptr) style |= MB_TASKMODAL;
  return MessageBoxW(owner, WideTextOf(text).c_str(), Widen(Caption(), CP_ACP).c_str(), style);
}

}  // namespace pagewire::platform::win32
