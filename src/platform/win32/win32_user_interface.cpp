#include "platform/win32/win32_user_interface.h"

#include <windows.h>
#include <commdlg.h>

#include "platform/file_chooser_filter.h"
#include "platform/win32/message_box.h"

namespace pagewire::platform::win32 {

namespace {

// The chosen path's buffer, as the file choosers are given it.
constexpr DWORD kChooserPathSize = MAX_PATH;

UINT StyleOf(MessageButtons buttons, MessageIcon icon) {
  UINT style = MB_OK;
  if (buttons == MessageButtons::OkCancel) style = MB_OKCANCEL;
  if (buttons == MessageButtons::RetryCancel) style = MB_RETRYCANCEL;
  if (icon == MessageIcon::Exclamation) style |= MB_ICONEXCLAMATION;
  if (icon == MessageIcon::Stop) style |= MB_ICONSTOP;
  return style;
}

DWORD FlagsOf(std::uint32_t flags) {
  DWORD result = 0;
  if (flags & kChooserHideReadOnly) result |= OFN_HIDEREADONLY;
  if (flags & kChooserPathMustExist) result |= OFN_PATHMUSTEXIST;
  if (flags & kChooserFileMustExist) result |= OFN_FILEMUSTEXIST;
  if (flags & kChooserLongNames) result |= OFN_LONGNAMES;
  if (flags & kChooserExplorer) result |= OFN_EXPLORER;
  return result;
}

std::optional<std::string> RunChooser(const FileChooserRequest& request, bool save) {
  const std::string filter = FilterWithNulSeparators(request.filter);
  char path[kChooserPathSize] = {};
  request.initialName.copy(path, kChooserPathSize - 1);
  OPENFILENAMEA chooser{};
  chooser.lStructSize = sizeof(chooser);
  chooser.hwndOwner = GetActiveWindow();
  chooser.lpstrFilter = filter.c_str();
  chooser.nFilterIndex = 1;
  chooser.lpstrFile = path;
  chooser.nMaxFile = kChooserPathSize;
  chooser.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  // The common dialogs are always explorer style on today's Windows.
  chooser.Flags = FlagsOf(request.flags) | OFN_EXPLORER;
  const BOOL chosen = save ? GetSaveFileNameA(&chooser) : GetOpenFileNameA(&chooser);
  if (!chosen) return std::nullopt;
  return std::string(path);
}

}  // namespace

MessageAnswer Win32UserInterface::ShowMessageBox(const MessageText& text, MessageButtons buttons,
                                                 MessageIcon icon) {
  switch (ShowWideMessageBox(nullptr, text, StyleOf(buttons, icon))) {
    case IDOK: return MessageAnswer::Ok;
    case IDRETRY: return MessageAnswer::Retry;
    default: return MessageAnswer::Cancel;  // also a box that could not be shown
  }
}

std::optional<std::string> Win32UserInterface::ChooseOpenFile(const FileChooserRequest& request) {
  return RunChooser(request, false);
}

std::optional<std::string> Win32UserInterface::ChooseSaveAsFile(
    const FileChooserRequest& request) {
  return RunChooser(request, true);
}

}  // namespace pagewire::platform::win32
