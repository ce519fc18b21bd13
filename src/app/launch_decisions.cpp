#include "app/launch_decisions.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace pagewire::app {

bool IsDirectLaunch(const std::string& commandTail) { return !commandTail.empty(); }

bool PrintSettingsAvailable(const std::string& fileName) {
  std::string lower = fileName;
  // ASCII only: the system code page's lead bytes must stay as they are.
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  constexpr std::array<std::string_view, 4> kNotPdf{".tif", ".jpeg", ".jpg", ".qlr"};
  return std::none_of(kNotPdf.begin(), kNotPdf.end(), [&](std::string_view extension) {
    return lower.find(extension) != std::string::npos;
  });
}

bool PrintEnabledForPort(const std::string& portText) { return portText != "FILE:"; }

bool InteractiveFromConfirmResult(PrintConfirmResult result) {
  return result == PrintConfirmResult::PrintSettings;
}

}  // namespace pagewire::app
