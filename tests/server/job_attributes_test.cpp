// The job's IPP attributes read back into the settings record, over the
// printer's defaults.
#include "server/job_attributes.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace pagewire::server {
namespace {

using settings::PrintJobSettings;
using S = PrintJobSettings;

struct Case {
  const char* what;
  std::vector<IppValue> values;
  std::function<void(S&)> expect;  // what the values change in the defaults
  std::vector<std::string> unmapped;
};

S Defaults() {
  S s;
  s.layout = settings::Layout::TwoUp;
  s.collate = settings::Collation::Collated;
  return s;
}

TEST(JobAttributes, MapsEachAttributeOverTheDefaults) {
  using namespace settings;
  const std::vector<Case> cases = {
      {"nothing asked", {}, [](S&) {}, {}},
      {"every setting",
       {{"copies", "7"}, {"multiple-document-handling", "separate-documents-uncollated-copies"},
        {"page-ranges", "3-9"}, {"sides", "two-sided-long-edge"}, {"media", "iso_a4_210x297mm"},
        {"media-type", "auto"}, {"print-color-mode", "monochrome"}, {"print-quality", "3"},
        {"print-scaling", "none"}},
       [](S& s) {
         s.copies = 7, s.collate = Collation::Off, s.selectPages = true, s.fromPage = 3;
         s.toPage = 9, s.duplexMode = Duplex::LongEdge, s.paperType = PaperType::PrinterSettings;
         s.outputColor = OutputColor::Black, s.printMode = PrintMode::HighSpeed;
         s.layout = Layout::Actual;
       },
       {}},
      {"an open range runs to the last page", {{"page-ranges", "4-2147483647"}},
       [](S& s) { s.selectPages = true, s.fromPage = 4, s.toPage = 4, s.toLastPage = true; }, {}},
      {"number-up 4, then 1 back to auto zoom", {{"number-up", "4"}, {"number-up", "1"}},
       [](S& s) { s.layout = Layout::AutoZoom; }, {}},
      {"scaling to fit keeps N-up; colour prints as auto",
       {{"print-scaling", "fit"}, {"print-color-mode", "color"}}, [](S&) {}, {}},
      {"values with no PJL keep the defaults",
       {{"media", "na_letter_8.5x11in"}, {"sides", "two-sided"}, {"copies", "0"},
        {"copies", "1000"}, {"page-ranges", "several"}, {"page-ranges", "5-2"},
        {"print-scaling", "fill"}, {"number-up", "6"}, {"multiple-document-handling", "single-document"},
        {"media-type", "cardstock"}, {"print-quality", "9"}, {"orientation-requested", "4"}},
       [](S&) {},
       {"media", "sides", "copies", "copies", "page-ranges", "page-ranges", "print-scaling",
        "number-up", "multiple-document-handling", "media-type", "print-quality"}},
  };
  for (const Case& c : cases) {
    S want = Defaults();
    c.expect(want);
    const MappedSettings got = ApplyIppValues(Defaults(), c.values);
    EXPECT_EQ(got.settings, want) << c.what;
    EXPECT_EQ(got.unmapped, c.unmapped) << c.what;
  }
}

}  // namespace
}  // namespace pagewire::server
