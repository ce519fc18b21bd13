// The shell's portable decisions: quotes, launch mode, the confirmation's
// Print Settings rule, the Print button's port rule, the ShowDragDlg key's
// life cycle and the chooser filter.
#include <gtest/gtest.h>

#include "app/launch_decisions.h"
#include "app/show_drag_dlg_key.h"
#include "fakes/fake_platform.h"

namespace pagewire::app {
namespace {

TEST(StripOuterQuotes, RemovesTheOpeningQuoteOnlyAfterAClosingOne) {
  const std::pair<std::string, std::string> cases[] = {
      {R"("C:\My Files\a b.pdf")", R"(C:\My Files\a b.pdf)"},
      {R"("C:\a.pdf)", R"("C:\a.pdf)"},             // only an opening quote: kept
      {R"(C:\a.pdf")", R"(C:\a.pdf)"},              // only a closing quote: removed
      {R"("a.pdf" "b.pdf")", R"(a.pdf" "b.pdf)"},   // inner quotes stay
      {R"(")", ""},
      {R"("")", ""},
      {"", ""},
      {"plain.pdf", "plain.pdf"},
  };
  for (const auto& [tail, expected] : cases) EXPECT_EQ(StripOuterQuotes(tail), expected) << tail;
}

TEST(IsDirectLaunch, OnlyAnEmptyTailOpensTheMainDialog) {
  EXPECT_FALSE(IsDirectLaunch(""));
  EXPECT_TRUE(IsDirectLaunch(" "));
  EXPECT_TRUE(IsDirectLaunch("a.pdf"));
}

TEST(PrintSettingsAvailable, OffForTiffJpegAndQuilloraNamesInAnyCase) {
  const std::pair<const char*, bool> cases[] = {
      {"report.pdf", true},       {"SCAN.TIF", false},      {"scan.tiff", false},
      {"photo.JPEG", false},      {"photo.jpg", false},     {"doc.qlr", false},
      {"a.jpg.pdf", false},       {"notes.txt", true},      {"out.prn", true},
      {"tifpdf.pdf", true},  // ".tif" needs its dot
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(PrintSettingsAvailable(name), expected) << name;
}

TEST(PrintEnabledForPort, OnlyExactlyFileColonDisables) {
  EXPECT_FALSE(PrintEnabledForPort("FILE:"));
  EXPECT_TRUE(PrintEnabledForPort("file:"));
  EXPECT_TRUE(PrintEnabledForPort("FILE"));
  EXPECT_TRUE(PrintEnabledForPort(""));
  EXPECT_TRUE(PrintEnabledForPort("CUPS:RawOne"));
}

TEST(InteractiveFromConfirmResult, OnlyPrintSettingsAsksTheJobToShowDialogs) {
  EXPECT_TRUE(InteractiveFromConfirmResult(PrintConfirmResult::PrintSettings));
  EXPECT_FALSE(InteractiveFromConfirmResult(PrintConfirmResult::Ok));
}

struct EndingCase {
  PrintConfirmResult result;
  bool skipChecked;
  bool keyStays;
};

TEST(ConfirmEnding, KeyStaysOnlyForOkOrPrintSettingsWithTheBoxTicked) {
  const EndingCase cases[] = {
      {PrintConfirmResult::Ok, true, true},
      {PrintConfirmResult::PrintSettings, true, true},
      {PrintConfirmResult::Ok, false, false},
      {PrintConfirmResult::PrintSettings, false, false},
      {PrintConfirmResult::Cancel, true, false},
      {PrintConfirmResult::Cancel, false, false},
  };
  for (const auto& c : cases) {
    fakes::FakeRegistry registry;
    ASSERT_TRUE(CreateShowDragDlgKey(registry));
    ApplyConfirmEnding(registry, c.result, c.skipChecked);
    EXPECT_EQ(registry.HasKey(kShowDragDlgKey), c.keyStays)
        << static_cast<int>(c.result) << " " << c.skipChecked;
    EXPECT_EQ(registry.openKeys(), 0);
  }
}

TEST(ShowDragDlgKey, MainDialogRemovesItAndADeniedDeletionIsSilent) {
  fakes::FakeRegistry registry;
  RemoveShowDragDlgKeyIfPresent(registry);  // absent: nothing happens
  EXPECT_FALSE(ShowDragDlgKeyExists(registry));
  ASSERT_TRUE(CreateShowDragDlgKey(registry));
  EXPECT_TRUE(ShowDragDlgKeyExists(registry));
  registry.denyWrite = true;
  RemoveShowDragDlgKeyIfPresent(registry);
  EXPECT_TRUE(ShowDragDlgKeyExists(registry));
  registry.denyWrite = false;
  RemoveShowDragDlgKeyIfPresent(registry);
  EXPECT_FALSE(ShowDragDlgKeyExists(registry));
  EXPECT_EQ(registry.openKeys(), 0);
}

}  // namespace
}  // namespace pagewire::app
