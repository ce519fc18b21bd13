#include "job/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace pagewire::job {

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list probe;
  va_copy(probe, args);
  const int length = std::vsnprintf(nullptr, 0, format, probe);
  va_end(probe);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(args);
  return text;
}

}  // namespace pagewire::job
