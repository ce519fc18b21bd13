#include <gtest/gtest.h>

#include "cli/cli_options.h"
#include "cli/saved_settings.h"
#include "cli/setting_notices.h"

namespace pagewire::cli {
namespace {

using namespace settings;

std::optional<CliOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string ignored;
  return ParseCommandLine(args, error != nullptr ? *error : ignored);
}

settings::PrintJobSettings Applied(std::vector<std::string> args) {
  args.push_back("file.pdf");
  const std::optional<CliOptions> options = Parse(args);
  EXPECT_TRUE(options.has_value());
  settings::PrintJobSettings settings;
  settings.toPage = 7;  // a saved value that an open range keeps
  if (options) options->overrides.ApplyTo(settings);
  return settings;
}

TEST(CliOptions, SettingsLandInTheRecordFieldsTheHeaderReads) {
  settings::PrintJobSettings s =
      Applied({"-n", "12", "-o", "collate=TRUE", "-osides=two-sided-short-edge", "-o",
               "media=auto", "-o", "media-type=printer", "-o", "print-color-mode=monochrome",
               "-o", "print-quality=draft", "-P", "3-"});
  EXPECT_EQ(s, (PrintJobSettings{true, true, PaperType::PrinterSettings, 12, PaperSize::Auto,
                                 Duplex::ShortEdge, PrintMode::HighSpeed, 3, 7,
                                 OutputColor::Black, Layout::AutoZoom, Collation::Collated}));

  s = Applied({"-P", "2-5", "-o", "number-up=4", "-o", "print-quality=high"});
  EXPECT_EQ(s.fromPage, 2);
  EXPECT_EQ(s.toPage, 5);
  EXPECT_FALSE(s.toLastPage);
  EXPECT_EQ(s.layout, Layout::FourUp);
  EXPECT_EQ(s.printMode, PrintMode::HighQuality);
  EXPECT_EQ(Applied({"-o", "layout=booklet"}).layout, Layout::Booklet);
  EXPECT_EQ(Applied({"-P", "4"}).toPage, 4);
  // Nothing given: the saved settings stand.
  EXPECT_EQ(Applied({}), (PrintJobSettings{.toPage = 7}));
}

TEST(CliOptions, BadInputIsRefusedNamingTheOption) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-n", "0", "f"}, "-n: '0' is not a number of copies from 1 to 999"},
      {{"-n", "x", "f"}, "-n: 'x' is not a number of copies from 1 to 999"},
      {{"-P", "1-3,5", "f"}, "-P: a list of ranges"},
      {{"-P", "5-2", "f"}, "-P: the range 5-2 ends before it starts"},
      {{"-P", "5-0", "f"}, "-P: '0' is not a page number from 1 to 999"},
      {{"-o", "sides=both", "f"}, "-o sides: 'both' is not one of"},
      {{"-o", "number-up=3", "f"}, "-o number-up: '3' is not one of 2, 4"},
      {{"-o", "color=yes", "f"}, "-o: unknown setting 'color'"},
      {{"--mac", "00:11:22:33:44", "f"}, "--mac:"},
      {{"--mac", "00:11:22:33:44:GG", "f"}, "--mac:"},
      {{"--timeout", "0", "f"}, "--timeout: '0' is not a number of seconds"},
      {{"--timeout=1000000", "f"}, "--timeout: '1000000' is not a number of seconds"},
      {{"--timeout", "5s", "f"}, "--timeout: '5s' is not a number of seconds"},
      {{"--wait=0", "f"}, "--wait: '0' is not a number of seconds"},
      {{"--wait", "--output", "o", "f"}, "--wait: only a printer's jobs"},
      {{"--password-stdin", "--password-file", "p", "f"}, "--password-stdin and --password-file"},
      {{"-d", "q", "--output", "o", "f"}, "-d and --output"},
      {{"--show-header", "--output", "o", "f"}, "--show-header and --output"},
      {{"-d"}, "-d: a value is needed"},
      {{"-h"}, "-h: a value is needed"},  // -h takes a server, not help
      {{"-", "a.pdf", "-"}, "-: standard input is given more than once"},
      {{"--password-stdin", "-"}, "--password-stdin and -: both would read standard input"},
      {{"--frobnicate", "f"}, "unknown option '--frobnicate'"},
      {{"--output", "x.prn", ""}, "'': an empty PATH names no file"},
      {{"-P", "-3", "f"}, "-P: '-3' has no first page; give FROM-TO, FROM- or all"},
      {{"-o", "sides=one-sided media=A4/x", "f"}, "-o media: 'A4/x' is not a media name"},
      {{"--password-stdin"}, "--password-stdin: with no PATH given, standard input is the file"},
  };
  for (const auto& [args, message] : cases) {
    std::string error;
    EXPECT_FALSE(Parse(args, &error).has_value()) << message;
    EXPECT_EQ(error.rfind(message, 0), 0u) << error;
  }
}

TEST(CliOptions, PathsOptionsAndSourcesMix) {
  const std::optional<CliOptions> options =
      Parse({"a.pdf", "-dsocket://h:9101", "--password-file=pw", "--mac", "0a-1B-2c-3D-4e-5F",
             "-t", "Board pack", "-hprint.example:631", "-", "--", "-n.pdf"});
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->paths, (std::vector<std::string>{"a.pdf", "-", "-n.pdf"}));
  EXPECT_TRUE(options->ReadsStandardInput());
  EXPECT_EQ(options->server, "print.example:631");
  EXPECT_EQ(options->destination, "socket://h:9101");
  EXPECT_EQ(options->title, "Board pack");
  EXPECT_EQ(options->passwordSource, PasswordSource::File);
  EXPECT_EQ(options->passwordFile, "pw");
  EXPECT_EQ(options->mac, (settings::MacAddress{0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}));
  EXPECT_EQ(options->waitSeconds, std::nullopt);
  // --wait takes its value attached only: the word after it is a PATH.
  EXPECT_EQ(Parse({"--wait", "30"})->waitSeconds, 300);
  EXPECT_EQ(Parse({"--wait", "30"})->paths, std::vector<std::string>{"30"});
  EXPECT_EQ(Parse({"--wait=30", "f"})->waitSeconds, 30);
  EXPECT_TRUE(Parse({"--list"})->list);
  EXPECT_TRUE(Parse({"--help"})->help);
}

TEST(CliOptions, LpHabitsAndPageRangesTheSettingsFileWrites) {
  // No PATH reads standard input; --save alone prints nothing.
  EXPECT_EQ(Parse({"-n", "2"})->paths, std::vector<std::string>{"-"});
  EXPECT_TRUE(Parse({"--save", "-n", "2"})->paths.empty());
  // Several settings in one -o, as lp takes them.
  const std::optional<CliOptions> options =
      Parse({"-o", " sides=two-sided-long-edge\tlayout=2up  media=na_letter_8.5x11in", "f"});
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->overrides.Lines(),
            (std::vector<std::string>{"sides=two-sided-long-edge", "media=na_letter_8.5x11in",
                                      "layout=2up"}));
  // A media name the paper sizes have; the one given last stands.
  EXPECT_EQ(Parse({"-o", "media=letter", "-o", "media=iso_a4_210x297mm", "f"})->overrides.Lines(),
            std::vector<std::string>{"media=A4"});
  for (const std::string range : {"all", "ALL", "1-", "3", "2-5"}) {
    const std::optional<CliOptions> given = Parse({"-P", range, "f"});
    ASSERT_TRUE(given.has_value()) << range;
    EXPECT_EQ(given->overrides.Lines(),
              std::vector<std::string>{"pages=" + std::string(range == "ALL" ? "all"
                                                              : range == "3" ? "3-3"
                                                                             : range)});
  }
  EXPECT_FALSE(Applied({"-P", "all"}).selectPages);
}

TEST(SavedSettings, ABadSavedValueIsNamedByItsLineAndNotUsed) {
  using Kind = platform::SettingsFileLine::Kind;
  auto line = [](int number, std::string key, std::string value) {
    return platform::SettingsFileLine{number, Kind::Value, key + "=" + value, key, value};
  };
  const struct {
    platform::SettingsFileLine bad;
    std::string message;
  } cases[] = {
      {line(4, "pages", "5-2"), "settings:4: pages: the range 5-2 ends before it starts"},
      {line(4, "copies", "0"), "settings:4: copies: '0' is not a number of copies"},
      {line(4, "sides", "both"), "settings:4: sides: 'both' is not one of"},
      {line(4, "sdies", "one-sided"), "settings:4: unknown setting 'sdies'"},
      {line(4, "mac", "00:11"), "settings:4: mac: '00:11' is not an address"},
      {line(4, "layout", ""), "settings:4: layout: '' is not one of"},
      {{4, Kind::Other, "free text", "", ""}, "settings:4: 'free text' is not a KEY=VALUE line"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ReadSavedSettings({line(2, "copies", "2"), c.bad}, "settings", error));
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
  }
  std::string error;
  const std::optional<SavedSettings> saved = ReadSavedSettings(
      {line(1, "pages", "all"), line(2, "media", "letter"), line(3, "number-up", "4"),
       {4, Kind::EarlierForm, "Copies=dword:00010002", "", ""}},
      "settings", error);
  ASSERT_TRUE(saved.has_value()) << error;
  EXPECT_TRUE(saved->earlierForm);
  EXPECT_EQ(saved->settings.Lines(),
            (std::vector<std::string>{"media=letter", "layout=4up", "pages=all"}));
}

TEST(SettingNotices, AChosenSettingARuleOverridesIsToldInOneLine) {
  auto chosen = [](std::vector<std::string> args) {
    args.push_back("f");
    return Parse(args)->overrides;
  };
  auto job = [](const SettingOverrides& overrides) {
    PrintJobSettings s;
    overrides.ApplyTo(s);
    return s;
  };
  const struct {
    std::vector<std::string> args;
    bool header;
    std::vector<std::string> told;
  } cases[] = {
      {{"-o", "media=auto layout=2up"}, true, {"media=auto is overridden: 2up prints on A4 (PAPER=A4)"}},
      {{"-o", "media=letter layout=4up"}, false,
       {"media=letter is overridden: 4up prints on A4 (media=iso_a4_210x297mm)"}},
      {{"-o", "media=A4 layout=2up"}, true, {}},
      {{"-o", "media=letter"}, true, {"media=letter: the PJL header has no such paper and says PAPER=A4"}},
      {{"-o", "media=letter"}, false, {}},
      {{"-o", "layout=booklet sides=one-sided media-type=printer", "-P", "2-3"}, true,
       {"sides=one-sided is overridden: a booklet prints on both sides (DUPLEX=ON)",
        "media-type=printer is overridden: a booklet prints on plain paper (MEDIATYPE=NORMAL)",
        "pages=2-3 is overridden: a booklet prints every page"}},
      {{"-o", "layout=booklet sides=two-sided-short-edge", "-P", "all"}, true, {}},
      {{"-o", "sides=one-sided"}, true, {}},
  };
  for (const auto& c : cases) {
    const SettingOverrides given = chosen(c.args);
    EXPECT_EQ(OverriddenChoices(given, job(given), c.header), c.told) << c.args[1];
  }
}

}  // namespace
}  // namespace pagewire::cli
