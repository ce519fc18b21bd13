// Shell port over FindExecutableA and ShellExecuteA.
#pragma once

#include "platform/shell.h"

namespace pagewire::platform::win32 {

class Win32Shell : public Shell {
 public:
  int FindAssociatedExecutable(const std::string& file, std::string& application) override;
  int Execute(const std::string& verb, const std::string& file, const std::string& parameters,
              ShowCommand show) override;
};

}  // namespace pagewire::platform::win32
