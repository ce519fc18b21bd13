#include "cli/pdf_doc_encoding.h"

#include <algorithm>
#include <array>
#include <utility>

#include "job/password_crypt.h"

namespace pagewire::cli {
namespace {

// The codes whose characters are not Latin-1's, by code point.
constexpr std::array<std::pair<char32_t, unsigned char>, 40> kOwnCodes = {{
    {0x0131, 0x9A}, {0x0141, 0x95}, {0x0142, 0x9B}, {0x0152, 0x96}, {0x0153, 0x9C},
    {0x0160, 0x97}, {0x0161, 0x9D}, {0x0178, 0x98}, {0x017D, 0x99}, {0x017E, 0x9E},
    {0x0192, 0x86}, {0x02C6, 0x1A}, {0x02C7, 0x19}, {0x02D8, 0x18}, {0x02D9, 0x1B},
    {0x02DA, 0x1E}, {0x02DB, 0x1D}, {0x02DC, 0x1F}, {0x02DD, 0x1C}, {0x2013, 0x85},
    {0x2014, 0x84}, {0x2018, 0x8F}, {0x2019, 0x90}, {0x201A, 0x91}, {0x201C, 0x8D},
    {0x201D, 0x8E}, {0x201E, 0x8C}, {0x2020, 0x81}, {0x2021, 0x82}, {0x2022, 0x80},
    {0x2026, 0x83}, {0x2030, 0x8B}, {0x2039, 0x88}, {0x203A, 0x89}, {0x2044, 0x87},
    {0x20AC, 0xA0}, {0x2122, 0x92}, {0x2212, 0x8A}, {0xFB01, 0x93}, {0xFB02, 0x94},
}};

// The next character of `text` from `at`, which it passes; none when the
// bytes there are not UTF-8 (overlong forms and surrogates included).
std::optional<char32_t> NextCharacter(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  std::size_t more = 0;
  char32_t c = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1, c = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2, c = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3, c = lead & 0x07, least = 0x10000;
  } else {
    return std::nullopt;
  }
  for (; more > 0; --more, ++at) {
    if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) {
      return std::nullopt;
    }
    c = c << 6 | (static_cast<unsigned char>(text[at]) & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  return c;
}

std::optional<unsigned char> PdfDocCode(char32_t c) {
  // Codes 18 to 1f and 7f are the encoding's own; ad and 80 to a0 are not Latin-1's.
  if ((c < 0x18 || (c >= 0x20 && c < 0x7F)) || (c > 0xA0 && c <= 0xFF && c != 0xAD)) {
    return static_cast<unsigned char>(c);
  }
  const auto found =
      std::lower_bound(kOwnCodes.begin(), kOwnCodes.end(), c,
                       [](const auto& entry, char32_t key) { return entry.first < key; });
  if (found == kOwnCodes.end() || found->first != c) return std::nullopt;
  return found->second;
}

}  // namespace

std::optional<std::string> Utf8ToPdfDocEncoding(std::string_view utf8) {
  std::string encoded;
  encoded.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const std::optional<char32_t> c = NextCharacter(utf8, at);
    const std::optional<unsigned char> code = c ? PdfDocCode(*c) : std::nullopt;
    if (!code) {
      job::WipeSecret(encoded);
      return std::nullopt;
    }
    encoded.push_back(static_cast<char>(*code));
  }
  return encoded;
}

}  // namespace pagewire::cli
