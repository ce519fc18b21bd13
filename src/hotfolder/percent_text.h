// Text kept in one field of a line of the service's files: '%', the bytes
// below 0x20 and the given others written as %XX.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pagewire::hotfolder {

std::string PercentEscaped(std::string_view text, std::string_view alsoEscaped = {});

// The text back; none for a '%' without two hex digits after it.
std::optional<std::string> PercentUnescaped(std::string_view text);

}  // namespace pagewire::hotfolder
