#include "settings/setting_text.h"

#include <algorithm>

namespace pagewire::settings {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr std::size_t kMacTextLength = 17;  // six pairs and five separators

}  // namespace

std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t max,
                                         std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > max) return std::nullopt;
  }
  return value;
}

std::optional<std::uint8_t> ParseHexByte(std::string_view text) {
  if (text.size() != 2) return std::nullopt;
  const int high = HexDigitValue(text[0]);
  const int low = HexDigitValue(text[1]);
  if (high < 0 || low < 0) return std::nullopt;
  return static_cast<std::uint8_t>(high * 16 + low);
}

std::optional<MacAddress> ParseMacAddress(std::string_view text) {
  if (text.size() != kMacTextLength) return std::nullopt;
  MacAddress address{};
  for (std::size_t i = 0; i < address.size(); ++i) {
    const auto byte = ParseHexByte(text.substr(i * 3, 2));
    const bool separated = i + 1 == address.size() || text[i * 3 + 2] == ':' ||
                           text[i * 3 + 2] == '-';
    if (!byte || !separated) return std::nullopt;
    address[i] = *byte;
  }
  return address;
}

PageRangeText ParsePageRange(std::string_view text, const PageNumberReader& number) {
  using Fault = PageRangeText::Fault;
  PageRangeText parsed;
  if (EqualsIgnoringCase(text, "all")) {
    parsed.range.all = true;
    return parsed;
  }
  const auto fail = [&parsed](Fault fault, std::string_view part = {}) {
    parsed.fault = fault;
    parsed.part = part;
    return parsed;
  };
  if (text.find(',') != std::string_view::npos) return fail(Fault::List);
  const std::size_t dash = text.find('-');
  if (dash == 0) return fail(Fault::NoFirstPage);
  const std::string_view fromText = text.substr(0, dash);
  const auto from = number(fromText);
  if (!from) return fail(Fault::BadFrom, fromText);
  parsed.range.from = *from;
  if (dash == std::string_view::npos) {
    parsed.range.to = *from;
  } else if (dash + 1 < text.size()) {
    const std::string_view toText = text.substr(dash + 1);
    const auto to = number(toText);
    if (!to) return fail(Fault::BadTo, toText);
    if (*to < *from) return fail(Fault::EndsBeforeStart);
    parsed.range.to = *to;
  }
  return parsed;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

}  // namespace pagewire::settings
