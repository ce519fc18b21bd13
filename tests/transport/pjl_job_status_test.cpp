// The PJL job status replies of a socket printer, and the job settings as
// IPP attributes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transport/ipp_attributes.h"
#include "transport/job_names.h"
#include "transport/pjl_job_status.h"

namespace pagewire::transport {
namespace {

TEST(PjlJobStatus, EndsAtTheEndOrCancelOfItsOwnJob) {
  struct Case {
    std::vector<std::string> replies;  // as they arrive, cut anywhere
    bool ended, completed;
    std::string reason;
    int pages = 0;
  };
  const std::string start = "@PJL USTATUS JOB\r\nSTART\r\nNAME=\"a.pdf\"\r\n\f";
  const Case cases[] = {
      {{start, "@PJL USTATUS JOB\r\nEND\r\nNAME=\"a.pdf\"\r\nPAGES=3\r\nRESULT=OK\r\n\f"},
       true, true, "", 3},
      {{"@PJL USTATUS JOB\r\nEND\r\nNAME=\"a.pdf\"\r\nPAGES=3x\r\n\f"}, true, true, ""},
      // Line feeds alone, no RESULT, a reply cut in two.
      {{"@PJL USTATUS JOB\nEND\nNA", "ME = \"a.pdf\"\n\f"}, true, true, ""},
      {{"@PJL USTATUS JOB\r\nCANCELED\r\nNAME=\"a.pdf\"\r\nRESULT=USER_CANCELED\r\n\f"},
       true, false, "CANCELED (RESULT=USER_CANCELED)"},
      {{"@PJL USTATUS JOB\r\nEND\r\nNAME=\"a.pdf\"\r\nRESULT=RESOURCE_CANCELED\r\n\f"},
       true, false, "END (RESULT=RESOURCE_CANCELED)"},
      // Another job's end, a start, a device status: not this job's end.
      {{"@PJL USTATUS JOB\r\nEND\r\nNAME=\"b.pdf\"\r\n\f", start,
        "@PJL USTATUS DEVICE\r\nCODE=10001\r\n\f", "@PJL USTATUS JOB\r\nEND\r\n"},
       false, false, ""},
  };
  for (const Case& c : cases) {
    PjlJobStatus status("a.pdf");
    bool ended = false;
    for (const std::string& reply : c.replies) ended = status.Take(reply);
    EXPECT_EQ(ended, c.ended) << c.replies.back();
    EXPECT_EQ(status.Completed(), c.completed) << c.replies.back();
    EXPECT_EQ(status.Reason(), c.reason);
    EXPECT_EQ(status.Pages(), c.pages);
  }
}

TEST(PjlJobStatus, TheJobCommandsNameTheJob) {
  EXPECT_EQ(PjlJobClosing("n"), "\x1b%-12345X@PJL\r\n@PJL EOJ NAME = \"n\"\r\n\x1b%-12345X");
}

TEST(JobNames, EachUseTakesOnlyItsBytesUpToItsLength) {
  const std::string e9 = "\xC3\xA9";  // é
  const struct {
    std::string name;
    NameUse use;
    std::string clean;
  } cases[] = {
      // Header comments: control bytes go; a space, '~' and other bytes stay.
      {"a \x1F\x7F~\x80\x93", NameUse::HeaderComment, "a ??~\x80\x93"},
      {std::string(300, 'h'), NameUse::HeaderComment, std::string(300, 'h')},
      // PJL job names: printable ASCII but '"', at most 80 characters.
      {"[Pagewire]a \"b\"" + e9 + ".pdf", NameUse::PjlJobName, "[Pagewire]a ?b???.pdf"},
      {"~\x7F", NameUse::PjlJobName, "~?"},
      {std::string(100, 'x'), NameUse::PjlJobName, std::string(80, 'x')},
      // IPP job names: well-formed UTF-8 without control characters.
      {"[Pagewire]r" + e9 + "sum" + e9 + ".pdf", NameUse::IppJobName,
       "[Pagewire]r" + e9 + "sum" + e9 + ".pdf"},
      {"caf\xE9.pdf", NameUse::IppJobName, "caf?.pdf"},  // Latin-1
      {"a\tb\x1F \x7F", NameUse::IppJobName, "a?b? \x7F"},
      // The first and last lead byte of each length, and the code points
      // at each bound.
      {"\x80\xC1\xBF\xC2\x80\xDF\xBF", NameUse::IppJobName, "???\xC2\x80\xDF\xBF"},
      {"\xE0\xA0\x80\xEF\xBF\xBD\xE0\x9F\xBF", NameUse::IppJobName, "\xE0\xA0\x80\xEF\xBF\xBD???"},
      {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", NameUse::IppJobName, "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
      {"\xF4\x90\x80\x80\xF5\x80\xF0\x8F\xBF\xBF", NameUse::IppJobName, "??????????"},
      // Surrogates, their neighbours, a cut sequence.
      {"\xED\x9F\xBF\xED\xA0\x80\xED\xBF\xBF\xEE\x80\x80", NameUse::IppJobName,
       "\xED\x9F\xBF??????\xEE\x80\x80"},
      {"\xC0\xAF\xE2\x82", NameUse::IppJobName, "????"},
      {std::string(254, 'a') + e9, NameUse::IppJobName, std::string(254, 'a')},  // no half
      {std::string(300, 'b'), NameUse::IppJobName, std::string(255, 'b')},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanName(c.name, c.use), c.clean) << c.name;
}

const IppChoices kAllChosen{{"copies", "collate", "pages", "sides", "media", "media-type",
                             "print-color-mode", "print-quality", "layout"}};

std::vector<std::string> Texts(const settings::PrintJobSettings& settings,
                               const IppChoices& choices = kAllChosen) {
  std::vector<std::string> texts;
  for (const IppJobAttribute& attribute : IppAttributesOf(settings, choices).attributes) {
    texts.push_back(attribute.Text());
  }
  return texts;
}

TEST(IppAttributes, ChoicesLeftToThePrinterSendNothing) {
  settings::PrintJobSettings defaults;
  EXPECT_EQ(Texts(defaults),
            (std::vector<std::string>{
                "copies=1", "sides=one-sided",
                "media-col={media-size-name=iso_a4_210x297mm media-type=stationery}",
                "print-quality=4"}));
  settings::PrintJobSettings chosen;
  chosen.paperType = settings::PaperType::PrinterSettings;
  chosen.paperSize = settings::PaperSize::Auto;  // but 4-up prints on A4
  chosen.layout = settings::Layout::FourUp;
  chosen.selectPages = true;
  chosen.fromPage = 3;
  chosen.toLastPage = true;
  chosen.copies = 2;
  chosen.duplexMode = settings::Duplex{7};  // out of the list: one-sided, as the header has it
  EXPECT_EQ(Texts(chosen), (std::vector<std::string>{
                               "copies=2",
                               "multiple-document-handling=separate-documents-uncollated-copies",
                               "page-ranges=3-", "sides=one-sided",
                               "media=iso_a4_210x297mm", "print-quality=4", "number-up=4"}));
  chosen.layout = settings::Layout::Booklet;
  EXPECT_TRUE(IppAttributesOf(chosen, kAllChosen).refusal.has_value());
}

// What a printer does without the attribute may be left out for one that
// does not list it; anything else is refused there.
TEST(IppAttributes, OnlyWhatAPrinterDoesAnywayIsNeutral) {
  for (const int copies : {1, 2}) {
    settings::PrintJobSettings s;
    s.copies = copies;
    s.duplexMode = copies == 1 ? settings::Duplex::OneSided : settings::Duplex::LongEdge;
    std::vector<std::string> neutral;
    for (const IppJobAttribute& attribute : IppAttributesOf(s, kAllChosen).attributes) {
      if (attribute.neutral) neutral.push_back(attribute.Text());
    }
    const std::vector<std::string> expected =
        copies == 1 ? std::vector<std::string>{"copies=1", "sides=one-sided", "print-quality=4"}
                    : std::vector<std::string>{"print-quality=4"};
    EXPECT_EQ(neutral, expected);
  }
}

TEST(IppAttributes, SettingsNobodyChoseAreLeftToThePrinter) {
  settings::PrintJobSettings s;
  s.copies = 3;
  s.duplexMode = settings::Duplex::LongEdge;
  s.outputColor = settings::OutputColor::Black;
  s.layout = settings::Layout::TwoUp;
  s.selectPages = true;
  s.fromPage = 2;
  s.toPage = 4;
  const struct {
    IppChoices choices;
    std::vector<std::string> sent;
  } cases[] = {
      {{}, {}},
      {{{"copies", "sides"}}, {"copies=3", "sides=two-sided-long-edge"}},
      // 2-up prints on A4, a chosen media name too; unchosen, no media at all.
      {{{"media", "layout"}, "na_letter_8.5x11in"}, {"media=iso_a4_210x297mm", "number-up=2"}},
      {{{"layout"}}, {"number-up=2"}},
      {{{"media"}, "letter"}, {"media=letter"}},
      {{{"media", "media-type"}, "letter"}, {"media-col={media-size-name=letter media-type=stationery}"}},
      // A TIFF takes what applies to any document.
      {{kAllChosen.keys, "", true},
       {"copies=3", "multiple-document-handling=separate-documents-uncollated-copies",
        "sides=two-sided-long-edge", "media-col={media-size-name=iso_a4_210x297mm media-type=stationery}",
        "print-color-mode=monochrome"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Texts(s, c.choices), c.sent) << c.choices.keys.size();
}

}  // namespace
}  // namespace pagewire::transport
