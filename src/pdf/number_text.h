// The reader's number text in one place: decimal integers and reals of the
// lexer's tokens without the locale and with overflow checks, hex digits of
// names and hex strings, and the int32 range of object numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pagewire::pdf {

// 0..15 for 0-9, A-F and a-f; -1 for any other character.
inline int HexDigitValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

inline bool FitsInt32(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Sign and digits; a lone sign is 0. None when the value does not fit 64 bits.
std::optional<std::int64_t> ParseIntegerText(std::string_view text);

// Sign, digits, a point and digits, as the lexer takes them; single precision.
float ParseRealText(std::string_view text);

}  // namespace pagewire::pdf
