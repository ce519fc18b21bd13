#include "platform/field_validation.h"

#include <limits>
#include <string_view>

#include "settings/setting_text.h"

namespace pagewire::platform {

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

std::optional<std::int32_t> ParseUnsignedField(const std::string& text) {
  std::string_view digits = text;
  while (!digits.empty() && IsBlank(digits.front())) digits.remove_prefix(1);
  while (!digits.empty() && IsBlank(digits.back())) digits.remove_suffix(1);
  const auto value = settings::ParseDecimal(digits, std::numeric_limits<std::int32_t>::max());
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

FieldVerdict ValidateNumberField(const std::string& text, std::int32_t low, std::int32_t high) {
  FieldVerdict verdict;
  verdict.stored = ParseUnsignedField(text);
  if (!verdict.stored) {
    verdict.message = kEnterPositiveInteger;
    verdict.plainBox = true;
  } else if (*verdict.stored < low || *verdict.stored > high) {
    verdict.message = EnterIntegerBetweenMessage(low, high);
  }
  return verdict;
}

FieldVerdict ValidateTextLength(const std::string& text, std::size_t maxChars) {
  FieldVerdict verdict;
  if (text.size() > maxChars) verdict.message = EnterNoMoreThanMessage(maxChars);
  return verdict;
}

FieldVerdict ValidateUtf8TextLength(const std::string& text, std::size_t maxChars) {
  FieldVerdict verdict;
  std::size_t chars = 0;
  for (unsigned char byte : text) chars += (byte & 0xC0) != 0x80 ? 1 : 0;
  if (chars > maxChars) verdict.message = EnterNoMoreThanMessage(maxChars);
  return verdict;
}

}  // namespace pagewire::platform
