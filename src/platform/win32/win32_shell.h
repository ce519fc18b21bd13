// Shell over FindExecutableA and ShellExecuteA: a result above 32 is a
// success.
#pragma once

#include "platform/shell.h"

namespace pagewire::platform::win32 {

class Win32Shell : public Shell {
 public:
  // FindExecutableA(file, no folder, 260-byte result).
  std::optional<std::string> AssociatedApplication(const std::string& file) override;
  // ShellExecuteA "open" on the application, SW_SHOWNORMAL; no parameters
  // are null.
  bool StartApplication(const std::string& application, const std::string& parameters) override;
  // ShellExecuteA "print", SW_HIDE.
  bool PrintOnDefaultPrinter(const std::string& file) override;
  // ShellExecuteA "open", SW_SHOW.
  bool OpenDocument(const std::string& file) override;
};

}  // namespace pagewire::platform::win32
