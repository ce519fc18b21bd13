// Decimal numbers of the lexer's integer and real tokens, without the locale
// and with overflow checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pagewire::pdf {

// Sign and digits; a lone sign is 0. None when the value does not fit 64 bits.
std::optional<std::int64_t> ParseIntegerText(std::string_view text);

// Sign, digits, a point and digits, as the lexer takes them; single precision.
float ParseRealText(std::string_view text);

}  // namespace pagewire::pdf
