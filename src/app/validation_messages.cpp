#include "app/validation_messages.h"

#include <limits>

namespace pagewire::app {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string ReplaceAll(std::string text, const std::string& marker, const std::string& value) {
  for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at)) {
    text.replace(at, marker.size(), value);
    at += value.size();
  }
  return text;
}

}  // namespace

std::string EnterIntegerBetweenMessage(long long low, long long high) {
  return ReplaceAll(ReplaceAll("Please enter an integer between %1 and %2.", "%1",
                               std::to_string(low)),
                    "%2", std::to_string(high));
}

std::string EnterNoMoreThanMessage(std::size_t maxChars) {
  return ReplaceAll("Please enter no more than %1 characters.", "%1", std::to_string(maxChars));
}

std::optional<long long> ParseInteger(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  const std::size_t digitsStart = at;
  // Accumulate as a negative number so that the minimum fits.
  long long value = 0;
  constexpr long long kMin = std::numeric_limits<long long>::min();
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const int digit = text[at] - '0';
    if (value < (kMin + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (at == digitsStart) return std::nullopt;
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at != text.size()) return std::nullopt;
  if (!negative) {
    if (value == kMin) return std::nullopt;
    value = -value;
  }
  return value;
}

Validation ValidatePositiveInteger(const std::string& text) {
  const auto value = ParseInteger(text);
  if (!value || *value < 0) return Validation{false, 0, kEnterPositiveInteger};
  return Validation{true, *value, {}};
}

Validation ValidateIntegerInRange(const std::string& text, long long low, long long high) {
  const auto value = ParseInteger(text);
  if (!value || *value < low || *value > high) {
    return Validation{false, 0, EnterIntegerBetweenMessage(low, high)};
  }
  return Validation{true, *value, {}};
}

bool TextFits(const std::string& text, std::size_t maxChars) { return text.size() <= maxChars; }

}  // namespace pagewire::app
