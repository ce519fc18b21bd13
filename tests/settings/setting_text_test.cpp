#include "settings/setting_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace pagewire::settings {
namespace {

TEST(ParseDecimal, DigitsOnlyWithinTheirCountAndBound) {
  struct Case {
    std::string text;
    std::int64_t max;
    std::size_t maxDigits;
    std::optional<std::int64_t> value;
  };
  const Case cases[] = {
      {"0", 9, 1, 0},          {"999", 999, 3, 999},    {"1000", 999, 4, std::nullopt},
      {"007", 999, 3, 7},      {"0007", 999, 3, std::nullopt},
      {"", 9, 5, std::nullopt}, {"+1", 9, 5, std::nullopt}, {"-1", 9, 5, std::nullopt},
      {" 1", 9, 5, std::nullopt}, {"1x", 9, 5, std::nullopt}, {"1.0", 9, 5, std::nullopt},
      {"2147483647", 2147483647, std::string::npos, 2147483647},
      {"2147483648", 2147483647, std::string::npos, std::nullopt},
      {std::string(40, '0') + "12", 2147483647, std::string::npos, 12},
      {std::string(40, '9'), 2147483647, std::string::npos, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseDecimal(c.text, c.max, c.maxDigits), c.value) << c.text;
}

TEST(ParseMacAddress, SixHexPairsWithColonsOrDashes) {
  EXPECT_EQ(ParseMacAddress("0a:1B-2c:3D-4e:5F"), (MacAddress{0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}));
  for (const std::string bad : {"0a:1b:2c:3d:4e", "0a:1b:2c:3d:4e:5f:", "0a:1b:2c:3d:4e:5g",
                                "0a.1b:2c:3d:4e:5f", "0a:1b:2c:3d:4e:+5", " a:1b:2c:3d:4e:5f"})
    EXPECT_EQ(ParseMacAddress(bad), std::nullopt) << bad;
  EXPECT_EQ(ParseHexByte("fF"), 0xFF);
  EXPECT_EQ(ParseHexByte("f"), std::nullopt);
  EXPECT_EQ(ParseHexByte("0x"), std::nullopt);
}

TEST(ParsePageRange, FormsAndTheFirstFault) {
  using Fault = PageRangeText::Fault;
  const PageNumberReader number = [](std::string_view text) -> std::optional<std::int32_t> {
    const auto value = ParseDecimal(text, 999);
    return value && *value > 0 ? std::optional<std::int32_t>(std::int32_t(*value)) : std::nullopt;
  };
  struct Case {
    std::string text;
    Fault fault;
    std::int32_t from;
    std::optional<std::int32_t> to;
    std::string part;
  };
  const Case cases[] = {
      {"ALL", Fault::None, 1, std::nullopt, ""},   {"7", Fault::None, 7, 7, ""},
      {"2-5", Fault::None, 2, 5, ""},               {"3-", Fault::None, 3, std::nullopt, ""},
      {"4-4", Fault::None, 4, 4, ""},               {"1,3", Fault::List, 1, std::nullopt, ""},
      {"-3", Fault::NoFirstPage, 1, std::nullopt, ""},
      {"0-3", Fault::BadFrom, 1, std::nullopt, "0"},
      {"2-x", Fault::BadTo, 2, std::nullopt, "x"},  {"2-3-4", Fault::BadTo, 2, std::nullopt, "3-4"},
      {"5-2", Fault::EndsBeforeStart, 5, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    const PageRangeText parsed = ParsePageRange(c.text, number);
    EXPECT_EQ(parsed.fault, c.fault) << c.text;
    EXPECT_EQ(parsed.part, c.part) << c.text;
    if (c.fault != Fault::None) continue;
    EXPECT_EQ(parsed.range.all, c.text == "ALL") << c.text;
    EXPECT_EQ(parsed.range.from, c.from) << c.text;
    EXPECT_EQ(parsed.range.to, c.to) << c.text;
  }
}

TEST(RowOfOptionWord, AnyCaseAndOnlyRowsWithTheSuffix) {
  EXPECT_EQ(RowOfOptionWord(kLayouts, "BOOKLET")->value, Layout::Booklet);
  EXPECT_EQ(RowOfOptionWord(kLayouts, "2", "up")->value, Layout::TwoUp);
  EXPECT_EQ(RowOfOptionWord(kLayouts, "auto", "up"), nullptr);
  EXPECT_EQ(RowOfOptionWord(kLayouts, "2"), nullptr);
  EXPECT_EQ(RowOfOptionWord(kLayouts, "bookle"), nullptr);
}

}  // namespace
}  // namespace pagewire::settings
