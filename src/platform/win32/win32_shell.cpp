#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

namespace pagewire::platform::win32 {

namespace {

int ResultOf(HINSTANCE instance) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(instance));
}

int ShowOf(ShowCommand show) {
  switch (show) {
    case ShowCommand::Hidden: return SW_HIDE;
    case ShowCommand::Show: return SW_SHOW;
    case ShowCommand::Normal: break;
  }
  return SW_SHOWNORMAL;
}

}  // namespace

int Win32Shell::FindAssociatedExecutable(const std::string& file, std::string& application) {
  char result[MAX_PATH] = {};
  const int code = ResultOf(FindExecutableA(file.c_str(), nullptr, result));
  if (code > kShellSuccessAbove) application = result;
  return code;
}

int Win32Shell::Execute(const std::string& verb, const std::string& file,
                        const std::string& parameters, ShowCommand show) {
  return ResultOf(ShellExecuteA(nullptr, verb.c_str(), file.c_str(),
                                parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                                ShowOf(show)));
}

}  // namespace pagewire::platform::win32
