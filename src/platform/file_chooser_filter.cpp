#include "platform/file_chooser_filter.h"

namespace pagewire::platform {

std::string FilterWithNulSeparators(const std::string& barFilter) {
  std::string filter = barFilter;
  for (char& c : filter) {
    if (c == '|') c = '\0';
  }
  // A filter without the closing "||" still needs its double NUL.
  filter.append(2, '\0');
  return filter;
}

}  // namespace pagewire::platform
