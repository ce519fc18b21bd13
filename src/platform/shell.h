// Shell port. Results are the calls' own values: above 32 means success.
#pragma once

#include <string>

namespace pagewire::platform {

inline constexpr int kShellSuccessAbove = 32;

enum class ShowCommand { Normal, Hidden, Show };  // SW_SHOWNORMAL, SW_HIDE, SW_SHOW

class Shell {
 public:
  virtual ~Shell() = default;
  // FindExecutableA(file, no folder, 260-byte result): the application path
  // in `application` when the result is above 32.
  virtual int FindAssociatedExecutable(const std::string& file, std::string& application) = 0;
  // ShellExecuteA(no window, verb, file, parameters or null when empty, no
  // folder, show).
  virtual int Execute(const std::string& verb, const std::string& file,
                      const std::string& parameters, ShowCommand show) = 0;
};

}  // namespace pagewire::platform
