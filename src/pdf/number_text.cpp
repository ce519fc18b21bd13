#include "pdf/number_text.h"

#include <cstddef>
#include <limits>

namespace pagewire::pdf {

std::optional<std::int64_t> ParseIntegerText(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate toward the negative side, which holds one more value.
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = text[i] - '0';
    if (digit < 0 || digit > 9) return std::nullopt;
    if (value < (INT64_MIN + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == INT64_MIN) return std::nullopt;
    value = -value;
  }
  return value;
}

float ParseRealText(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double value = 0.0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
      value += (text[i] - '0') * scale;
  }
  // A double beyond the float range does not convert; such a value is
  // infinite as far as single precision goes.
  if (value > std::numeric_limits<float>::max()) value = std::numeric_limits<double>::infinity();
  return static_cast<float>(negative ? -value : value);
}

}  // namespace pagewire::pdf
