#include "transport/pjl_header.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "fakes/fake_platform.h"

namespace pagewire::transport {
namespace {

using ::testing::ElementsAre;
using settings::Collation;
using settings::Duplex;
using settings::Layout;
using settings::OutputColor;
using settings::PaperSize;
using settings::PaperType;
using settings::PrintMode;

JobComments ExampleComments() {
  return JobComments{{2002, 3, 5, 9, 7, 2}, "user01", "PC01", {192, 168, 1, 20}};
}

JobHeaderFacts Facts(std::string name, std::uint64_t length, KeyMode mode = KeyMode::None,
                     std::string hex = "") {
  JobHeaderFacts facts;
  facts.fileName = std::move(name);
  facts.fileLength = length;
  facts.keyMode = mode;
  facts.passwordHex = std::move(hex);
  return facts;
}

std::string Joined(const std::vector<std::string>& pieces) {
  std::string all;
  for (const std::string& p : pieces) all += p;
  return all;
}

std::string HeaderOf(const settings::PrintJobSettings& s, const JobHeaderFacts& facts) {
  return Joined(JobHeaderPieces(s, ExampleComments(), facts));
}

TEST(JobHeader, ExampleSingleFileIsByteForByte) {
  const std::string expected =
      "\x1B%-12345X@PJL COMMENT DATE=03/05/2002\n"
      "@PJL COMMENT TIME=09:07:02\n"
      "@PJL COMMENT DNAME=report.pdf\n"
      "@PJL COMMENT UNAME=user01\n"
      "@PJL COMMENT HNAME=PC01\n"
      "@PJL COMMENT UID=user01\n"
      "@PJL COMMENT IP=192.168.001.020\n"
      "@PJL SET COLLATE = OFF\n"
      "@PJL SET COPIES=1\n"
      "@PJL SET JOBATTR=\"@FSIZ=48213\"\n"
      "@PJL SET JOBATTR=\"@FSTP=0\"\n"
      "@PJL SET JOBATTR=\"@LSTP=0\"\n"
      "@PJL SET MEDIATYPE=NORMAL\n"
      "@PJL SET JOBATTR=\"@LOUT=AUTOSCALING\"\n"
      "@PJL SET JOBATTR=\"@DIPQ=STANDARD\"\n"
      "@PJL SET RENDERMODE=AUTOCOLOR\n"
      "@PJL SET PAPER=A4\n"
      "@PJL SET AUTOSELECT=ON\n"
      "@PJL SET TIMEOUT=0\n"
      "@PJL SET DUPLEX=OFF\n"
      "@PJL ENTER LANGUAGE = PDF\n";
  const auto pieces =
      JobHeaderPieces(settings::PrintJobSettings{}, ExampleComments(), Facts("report.pdf", 48213));
  EXPECT_EQ(Joined(pieces), expected);
  // Escape, date/time, comments, collate, FSIZ, range, media, keywords, duplex, language.
  EXPECT_EQ(pieces.size(), 10u);
  EXPECT_EQ(pieces[0], "\x1B%-12345X");
}

struct KeywordCase {
  const char* name;
  settings::PrintJobSettings settings;
  std::vector<std::string> present;
  std::vector<std::string> absent;
};

settings::PrintJobSettings With(std::function<void(settings::PrintJobSettings&)> edit) {
  settings::PrintJobSettings s;
  edit(s);
  return s;
}

class JobHeaderKeywords : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(JobHeaderKeywords, WritesTheChosenLines) {
  const std::string header = HeaderOf(GetParam().settings, Facts("a.pdf", 10));
  for (const std::string& line : GetParam().present) EXPECT_NE(header.find(line), std::string::npos) << line;
  for (const std::string& line : GetParam().absent) EXPECT_EQ(header.find(line), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JobHeaderKeywords,
    ::testing::Values(
        KeywordCase{"BookletIgnoresRangeAndPaperType",
                    With([](auto& s) { s.layout = Layout::Booklet; s.selectPages = true; s.fromPage = 3; s.toPage = 7; s.paperType = PaperType::PrinterSettings; }),
                    {"@FSTP=0\"\n", "@LSTP=0\"\n", "MEDIATYPE=NORMAL\n", "@LOUT=BOOKLET",
                     "@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n"},
                    {"DUPLEX=OFF"}},
        KeywordCase{"BookletShortEdge", With([](auto& s) { s.layout = Layout::Booklet; s.duplexMode = Duplex::ShortEdge; }),
                    {"@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE\n"}, {"LONGEDGE"}},
        KeywordCase{"TwoUpForcesA4", With([](auto& s) { s.layout = Layout::TwoUp; s.paperSize = PaperSize::Auto; }),
                    {"PAPER=A4\n", "@LOUT=N2"}, {"PAPER=AUTO"}},
        KeywordCase{"FourUpForcesA4", With([](auto& s) { s.layout = Layout::FourUp; s.paperSize = PaperSize::Auto; }),
                    {"PAPER=A4\n", "@LOUT=N4"}, {"PAPER=AUTO"}},
        KeywordCase{"AutoPaper", With([](auto& s) { s.paperSize = PaperSize::Auto; s.layout = Layout::Actual; }),
                    {"PAPER=AUTO\n", "@LOUT=NOSCALING"}, {}},
        KeywordCase{"RangeToLastPage",
                    With([](auto& s) { s.selectPages = true; s.fromPage = 3; s.toPage = 7; s.toLastPage = true; }),
                    {"@FSTP=3\"\n", "@LSTP=0\"\n"}, {}},
        KeywordCase{"RangeToPage", With([](auto& s) { s.selectPages = true; s.fromPage = 3; s.toPage = 7; }),
                    {"@FSTP=3\"\n", "@LSTP=7\"\n"}, {}},
        KeywordCase{"CollateUsesQty", With([](auto& s) { s.collate = Collation::Collated; s.copies = 12; }),
                    {"@PJL SET COLLATE = COLLATENORMAL\n@PJL SET QTY =12\n"}, {"COPIES="}},
        KeywordCase{"PrinterPaperTypeHasNoMedia", With([](auto& s) { s.paperType = PaperType::PrinterSettings; }), {},
                    {"MEDIATYPE"}},
        KeywordCase{"SpeedAndBlack", With([](auto& s) { s.printMode = PrintMode::HighSpeed; s.outputColor = OutputColor::Black; }),
                    {"@DIPQ=SPEED", "RENDERMODE=GRAYSCALE\n"}, {}},
        KeywordCase{"Quality", With([](auto& s) { s.printMode = PrintMode::HighQuality; }), {"@DIPQ=QUALITY2"}, {}},
        // Saved numbers outside the lists, or -1 for a list left empty.
        KeywordCase{"UnknownValuesFallBack",
                    With([](auto& s) {
                      s.printMode = PrintMode{7}; s.layout = Layout{-1}; s.outputColor = OutputColor{9};
                      s.paperType = PaperType{-1}; s.duplexMode = Duplex{5}; s.paperSize = PaperSize{-1};
                    }),
                    {"@DIPQ=STANDARD", "@LOUT=AUTOSCALING", "AUTOCOLOR", "PAPER=A4\n", "DUPLEX=OFF\n"},
                    {"MEDIATYPE"}},
        KeywordCase{"LongEdge", With([](auto& s) { s.duplexMode = Duplex::LongEdge; }),
                    {"@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n"}, {"DUPLEX=OFF"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(JobHeader, FolderFileHasNoEnterLanguage) {
  JobHeaderFacts facts = Facts("a.pdf", 10);
  facts.singleFileCommand = false;
  const std::string header = HeaderOf({}, facts);
  EXPECT_EQ(header.find("ENTER LANGUAGE"), std::string::npos);
  const std::string last = "@PJL SET DUPLEX=OFF\n";
  EXPECT_EQ(header.substr(header.size() - last.size()), last);
}

TEST(JobHeader, PasswordLinesStandBetweenIpAndCollate) {
  const std::string hex(64, 'a');
  for (auto [mode, tag] : {std::pair{KeyMode::MacAddress, "MA"}, std::pair{KeyMode::FixedKey, "FK"}}) {
    const std::string header = HeaderOf({}, Facts("a.pdf", 10, mode, hex));
    const std::string expected = std::string("IP=192.168.001.020\n@PJL SET JOBATTR=\"@EPKY=") + tag +
                                 "\"\n@PJL SET JOBATTR=\"@EPWD=" + hex + "\"\n@PJL SET COLLATE";
    EXPECT_NE(header.find(expected), std::string::npos) << tag;
  }
  EXPECT_EQ(HeaderOf({}, Facts("a.pdf", 10)).find("EPKY"), std::string::npos);
}

TEST(JobHeader, AddressIsZeroPadded) {
  JobComments c = ExampleComments();
  c.address = {10, 0, 5, 17};
  EXPECT_NE(Joined(JobHeaderPieces({}, c, Facts("a.pdf", 1))).find("IP=010.000.005.017\n"),
            std::string::npos);
}

TEST(JobHeader, LargeFileSizeStaysPositive) {
  const std::string header = HeaderOf({}, Facts("big.pdf", 3'000'000'000ull));
  EXPECT_NE(header.find("@FSIZ=3000000000\""), std::string::npos);
}

TEST(JobHeader, LongNamesAreWrittenWhole) {
  const std::string name(700, 'n');
  JobComments c = ExampleComments();
  c.userName = std::string(300, 'u');
  const std::string header = Joined(JobHeaderPieces({}, c, Facts(name, 1)));
  EXPECT_NE(header.find("DNAME=" + name + "\n"), std::string::npos);
  EXPECT_NE(header.find("UID=" + c.userName + "\n"), std::string::npos);
}

TEST(JobHeader, ControlBytesInNamesCannotInjectPjlLines) {
  JobComments c = ExampleComments();
  c.userName = "user\t01\x7F";
  c.hostName = std::string("PC\0" "01", 5);
  const std::string name = "a\r\n@PJL SET COPIES=99\r\n\x1B%-12345X.pdf";
  std::vector<std::string> lines;
  std::istringstream header(Joined(JobHeaderPieces({}, c, Facts(name, 7))));
  for (std::string line; std::getline(header, line);) lines.push_back(line);
  EXPECT_THAT(lines, ElementsAre("\x1B%-12345X@PJL COMMENT DATE=03/05/2002",
                                 "@PJL COMMENT TIME=09:07:02",
                                 "@PJL COMMENT DNAME=a??@PJL SET COPIES=99???%-12345X.pdf",
                                 "@PJL COMMENT UNAME=user?01?", "@PJL COMMENT HNAME=PC?01",
                                 "@PJL COMMENT UID=user?01?", "@PJL COMMENT IP=192.168.001.020",
                                 "@PJL SET COLLATE = OFF", "@PJL SET COPIES=1",
                                 "@PJL SET JOBATTR=\"@FSIZ=7\"", "@PJL SET JOBATTR=\"@FSTP=0\"",
                                 "@PJL SET JOBATTR=\"@LSTP=0\"", "@PJL SET MEDIATYPE=NORMAL",
                                 "@PJL SET JOBATTR=\"@LOUT=AUTOSCALING\"",
                                 "@PJL SET JOBATTR=\"@DIPQ=STANDARD\"",
                                 "@PJL SET RENDERMODE=AUTOCOLOR", "@PJL SET PAPER=A4",
                                 "@PJL SET AUTOSELECT=ON", "@PJL SET TIMEOUT=0",
                                 "@PJL SET DUPLEX=OFF", "@PJL ENTER LANGUAGE = PDF"));
}

TEST(JobComments, FallBacksWhenFactsAreMissing) {
  fakes::FakeSystemFacts facts;
  facts.userName.reset();
  facts.host = {};
  const JobComments c = CollectJobComments(facts);
  EXPECT_EQ(c.userName, "unknown");
  EXPECT_EQ(c.hostName, "");
  EXPECT_EQ(c.address, (platform::Ipv4Address{0, 0, 0, 0}));
}

}  // namespace
}  // namespace pagewire::transport
