#include <gtest/gtest.h>

#include "cli/cli_options.h"

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
      {{"-h", "f"}, "no file or folder to print"},  // -h takes a server, not help
      {{"-", "a.pdf", "-"}, "-: standard input is given more than once"},
      {{"--password-stdin", "-"}, "--password-stdin and -: both would read standard input"},
      {{"--frobnicate", "f"}, "unknown option '--frobnicate'"},
      {{"-n", "2"}, "no file or folder to print"},
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

}  // namespace
}  // namespace pagewire::cli
