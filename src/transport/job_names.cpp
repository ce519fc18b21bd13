#include "transport/job_names.h"

#include <cstdint>

namespace pagewire::transport {
namespace {

constexpr std::size_t kMaxPjlJobName = 80;
constexpr std::size_t kMaxIppJobName = 255;

// The length of the well-formed UTF-8 character of at least U+0020 at the
// start of `text`; 0 when there is none.
std::size_t Utf8Character(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead < 0x80) {
    length = 1;
    code = lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07u;
  }
  if (length == 0 || length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[k]);
    if ((next & 0xC0u) != 0x80u) return 0;
    code = (code << 6) | (next & 0x3Fu);
  }
  // Overlong forms, surrogates and code points past U+10FFFF.
  constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (length > 1 && (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) ||
                     code > 0x10FFFF)) {
    return 0;
  }
  return code < 0x20 ? 0 : length;
}

// How many bytes at the start of `text` the use keeps as they are; 0 when
// the first byte goes as '?'.
std::size_t Kept(std::string_view text, NameUse use) {
  const auto byte = static_cast<unsigned char>(text[0]);
  switch (use) {
    case NameUse::HeaderComment:
      return byte < 0x20 || byte == 0x7F ? 0 : 1;
    case NameUse::PjlJobName:
      return byte >= 0x20 && byte <= 0x7E && byte != '"' ? 1 : 0;
    case NameUse::IppJobName:
      return Utf8Character(text);
  }
  return 0;
}

std::size_t MostBytes(NameUse use) {
  switch (use) {
    case NameUse::PjlJobName:
      return kMaxPjlJobName;
    case NameUse::IppJobName:
      return kMaxIppJobName;
    case NameUse::HeaderComment:
      break;
  }
  return std::string_view::npos;
}

}  // namespace

std::string CleanName(std::string_view name, NameUse use) {
  const std::size_t most = MostBytes(use);
  std::string clean;
  while (!name.empty()) {
    const std::size_t kept = Kept(name, use);
    const std::size_t taken = kept > 0 ? kept : 1;
    if (clean.size() + taken > most) break;
    if (kept > 0) {
      clean.append(name.substr(0, kept));
    } else {
      clean += '?';
    }
    name.remove_prefix(taken);
  }
  return clean;
}

}  // namespace pagewire::transport
