// The texts that people and files give for settings, each read in one
// place: decimal numbers, MAC addresses, page ranges and the -o words of
// the settings tables. Each caller keeps its own bounds and its own words
// for what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "settings/print_job_settings.h"
#include "settings/setting_tables.h"

namespace pagewire::settings {

// One to `maxDigits` ASCII digits and nothing else (leading zeros count as
// digits), of at most `max` (0..2^62); none otherwise.
std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t max,
                                         std::size_t maxDigits = std::string_view::npos);

// Exactly two hex digits of either case.
std::optional<std::uint8_t> ParseHexByte(std::string_view text);
// Six pairs of hex digits, each but the last followed by ':' or '-'.
std::optional<MacAddress> ParseMacAddress(std::string_view text);

struct PageRange {
  bool all = false;  // "all", any case: every page; the numbers are not used
  std::int32_t from = 1;
  std::optional<std::int32_t> to;  // none: to the last page
};

// "all", "PAGE", "FROM-TO" or "FROM-", the numbers read by the caller's
// `number`. A fault names the first thing wrong; `part` is the number's
// text for BadFrom and BadTo.
struct PageRangeText {
  enum class Fault { None, List, NoFirstPage, BadFrom, BadTo, EndsBeforeStart };
  PageRange range;
  Fault fault = Fault::None;
  std::string_view part;
};
using PageNumberReader = std::function<std::optional<std::int32_t>(std::string_view)>;
PageRangeText ParsePageRange(std::string_view text, const PageNumberReader& number);

// ASCII letters compared without their case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The row whose -o word, less `suffix` (a row without it never matches),
// is `word` in any case; none when no row's is.
template <typename Value>
const SettingRow<Value>* RowOfOptionWord(const Setting<Value>& setting, std::string_view word,
                                         std::string_view suffix = "") {
  for (const SettingRow<Value>& row : setting.rows) {
    const std::string_view rowWord = row.optionWord;
    if (rowWord.ends_with(suffix) &&
        EqualsIgnoringCase(rowWord.substr(0, rowWord.size() - suffix.size()), word))
      return &row;
  }
  return nullptr;
}

}  // namespace pagewire::settings
