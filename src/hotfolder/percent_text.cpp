#include "hotfolder/percent_text.h"

#include "settings/setting_text.h"

namespace pagewire::hotfolder {

std::string PercentEscaped(std::string_view text, std::string_view alsoEscaped) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '%' || byte < 0x20 || alsoEscaped.find(c) != std::string_view::npos) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> PercentUnescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    const std::optional<std::uint8_t> byte = settings::ParseHexByte(text.substr(i + 1, 2));
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
    i += 2;
  }
  return out;
}

}  // namespace pagewire::hotfolder
