// The dialog framework's data exchange checks for fields, with its messages.
// A dialog shows the message, gives the field the focus and stays open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pagewire::platform {

inline constexpr const char* kEnterPositiveInteger = "Please enter a positive integer.";

std::string EnterIntegerBetweenMessage(long long low, long long high);
std::string EnterNoMoreThanMessage(std::size_t maxChars);

// An unsigned decimal number with optional blanks and tabs around it; none
// for a sign, any other character, an empty text or more than 2^31 - 1.
std::optional<std::int32_t> ParseUnsignedField(const std::string& text);

// One field's verdict. `stored` is what the exchange writes into the member
// (a number outside the range is still stored); `message` is empty when the
// field is valid. The positive-integer message is a plain box, the others
// carry the exclamation icon.
struct FieldVerdict {
  std::optional<std::int32_t> stored;
  std::string message;
  bool plainBox = false;

  bool ok() const { return message.empty(); }
};

// An unsigned number field that must lie between `low` and `high`.
FieldVerdict ValidateNumberField(const std::string& text, std::int32_t low, std::int32_t high);
// A text field of at most `maxChars` characters.
FieldVerdict ValidateTextLength(const std::string& text, std::size_t maxChars);
// The same for UTF-8 text, counting characters: every byte that does not
// continue a sequence starts one.
FieldVerdict ValidateUtf8TextLength(const std::string& text, std::size_t maxChars);

}  // namespace pagewire::platform
