#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

namespace pagewire::platform::win32 {

namespace {

// FindExecutableA and ShellExecuteA give an error code of 32 or less.
constexpr std::intptr_t kSuccessAbove = 32;

bool Succeeded(HINSTANCE result) {
  return reinterpret_cast<std::intptr_t>(result) > kSuccessAbove;
}

bool Execute(const char* verb, const std::string& file, const std::string& parameters,
             int show) {
  return Succeeded(ShellExecuteA(nullptr, verb, file.c_str(),
                                 parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                                 show));
}

}  // namespace

std::optional<std::string> Win32Shell::AssociatedApplication(const std::string& file) {
  char result[MAX_PATH] = {};
  if (!Succeeded(FindExecutableA(file.c_str(), nullptr, result))) return std::nullopt;
  return std::string(result);
}

bool Win32Shell::StartApplication(const std::string& application,
                                  const std::string& parameters) {
  return Execute("open", application, parameters, SW_SHOWNORMAL);
}

bool Win32Shell::PrintOnDefaultPrinter(const std::string& file) {
  return Execute("print", file, "", SW_HIDE);
}

bool Win32Shell::OpenDocument(const std::string& file) {
  return Execute("open", file, "", SW_SHOW);
}

}  // namespace pagewire::platform::win32
