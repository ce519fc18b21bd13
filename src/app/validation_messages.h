// The data exchange's validation of dialog fields, with the framework's
// messages; the Win32 dialog base shows the message and keeps the focus on
// the field.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace pagewire::app {

inline constexpr const char* kEnterPositiveInteger = "Please enter a positive integer.";

std::string EnterIntegerBetweenMessage(long long low, long long high);
std::string EnterNoMoreThanMessage(std::size_t maxChars);

// A whole decimal integer with optional blanks around it and an optional
// sign; none on anything else or on overflow of `long long`.
std::optional<long long> ParseInteger(const std::string& text);

// A field's verdict: `ok` with the value, or the message to show.
struct Validation {
  bool ok = false;
  long long value = 0;
  std::string message;
};
Validation ValidatePositiveInteger(const std::string& text);
Validation ValidateIntegerInRange(const std::string& text, long long low, long long high);
bool TextFits(const std::string& text, std::size_t maxChars);

}  // namespace pagewire::app
