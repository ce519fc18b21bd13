#include "settings/saved_settings_bits.h"

#include <gtest/gtest.h>

namespace pagewire::settings {
namespace {

TEST(SavedSettingsBits, PagesExample) {
  PrintJobSettings s;
  s.selectPages = false;
  s.fromPage = 5;
  s.toPage = 9;
  EXPECT_EQ(PackPages(s), 9u * 65536u + 5u + 32768u);
  PrintJobSettings loaded;
  loaded.selectPages = true;
  UnpackPages(PackPages(s), loaded);
  EXPECT_FALSE(loaded.selectPages);
  EXPECT_EQ(loaded.fromPage, 5);
  EXPECT_EQ(loaded.toPage, 9);
  EXPECT_FALSE(loaded.toLastPage);
}

TEST(SavedSettingsBits, PrintModeAndCopiesExamples) {
  PrintJobSettings s;
  s.paperSize = PaperSize::Auto;
  s.printMode = PrintMode::HighQuality;
  s.paperType = PaperType::PrinterSettings;
  s.duplexMode = Duplex::LongEdge;
  EXPECT_EQ(PackPrintMode(s), 0x01020101u);
  s.copies = 2;
  s.layout = Layout::TwoUp;
  s.outputColor = OutputColor::Black;
  s.collate = Collation::Collated;
  EXPECT_EQ(PackCopies(s), (1u << 30) + (1u << 29) + 3u * 65536u + 2u);
}

TEST(SavedSettingsBits, RoundTripAndIgnoredBits) {
  PrintJobSettings s;
  s.selectPages = true;
  s.toLastPage = true;
  s.fromPage = 999;
  s.toPage = 999;
  s.copies = 999;
  s.layout = Layout::FourUp;
  PrintJobSettings back;
  UnpackPages(PackPages(s), back);
  UnpackCopies(PackCopies(s) | 0x1F000000u | (1u << 31), back);  // stray bits ignored
  UnpackPrintMode(PackPrintMode(s), back);
  EXPECT_EQ(back, s);
  EXPECT_EQ(PackPages(s) & (1u << 31), 1u << 31);
  PrintJobSettings colour;
  colour.outputColor = OutputColor::Black;
  colour.collate = Collation::Collated;
  UnpackCopies(1, colour);  // clear bits leave the fields as they were
  EXPECT_EQ(colour.outputColor, OutputColor::Black);
  EXPECT_EQ(colour.collate, Collation::Collated);
}

}  // namespace
}  // namespace pagewire::settings
