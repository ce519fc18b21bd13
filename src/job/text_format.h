// printf-style formatting into a std::string that grows to fit, so that no
// formatted piece is ever cut.
#pragma once

#include <string>

namespace pagewire::job {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string FormatText(const char* format, ...);

}  // namespace pagewire::job
