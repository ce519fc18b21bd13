// The file choosers take "Name|*.x|...||" filters; the common dialogs want
// the same list with NUL separators and a double NUL at the end.
#pragma once

#include <string>

namespace pagewire::platform {

std::string FilterWithNulSeparators(const std::string& barFilter);

}  // namespace pagewire::platform
