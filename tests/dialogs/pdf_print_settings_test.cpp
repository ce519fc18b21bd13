#include "dialogs/pdf_print_settings.h"

#include <gtest/gtest.h>

#include "dialogs/saved_settings_bits.h"
#include "fakes/fake_platform.h"

namespace pagewire::dialogs {
namespace {

TEST(SavedSettingsBits, PagesExample) {
  settings::PrintJobSettings s;
  s.selectPages = 0;
  s.fromPage = 5;
  s.toPage = 9;
  EXPECT_EQ(PackPages(s), 9u * 65536u + 5u + 32768u);
  settings::PrintJobSettings loaded;
  loaded.selectPages = 1;
  UnpackPages(PackPages(s), loaded);
  EXPECT_EQ(loaded.selectPages, 0);
  EXPECT_EQ(loaded.fromPage, 5);
  EXPECT_EQ(loaded.toPage, 9);
  EXPECT_EQ(loaded.toLastPage, 0);
}

TEST(SavedSettingsBits, PrintModeAndCopiesExamples) {
  settings::PrintJobSettings s;
  s.paperSize = 1;   // Auto
  s.printMode = 2;   // High Quality
  s.paperType = 1;   // Printer Settings
  s.duplexMode = 1;  // Long Edge Flip
  EXPECT_EQ(PackPrintMode(s), 0x01020101u);
  s.copies = 2;
  s.layout = 3;
  s.outputColor = 1;
  s.collate = 1;
  EXPECT_EQ(PackCopies(s), (1u << 30) + (1u << 29) + 3u * 65536u + 2u);
}

TEST(SavedSettingsBits, RoundTripAndIgnoredBits) {
  settings::PrintJobSettings s;
  s.selectPages = 1;
  s.toLastPage = 1;
  s.fromPage = 999;
  s.toPage = 999;
  s.copies = 999;
  s.layout = 4;
  settings::PrintJobSettings back;
  UnpackPages(PackPages(s), back);
  UnpackCopies(PackCopies(s) | 0x1F000000u | (1u << 31), back);  // stray bits ignored
  UnpackPrintMode(PackPrintMode(s), back);
  EXPECT_EQ(back, s);
  EXPECT_EQ(PackPages(s) & (1u << 31), 1u << 31);
  settings::PrintJobSettings colour;
  colour.outputColor = 1;
  colour.collate = 1;
  UnpackCopies(1, colour);  // clear bits leave the fields as they were
  EXPECT_EQ(colour.outputColor, 1);
  EXPECT_EQ(colour.collate, 1);
}

TEST(PdfPrintSettings, LoadTakesTheSavedRecordAndWhetherItCanBeSaved) {
  fakes::FakeSettingsStore store;
  PdfPrintSettings fresh(store);
  fresh.LoadSavedSettings();
  EXPECT_EQ(fresh.settings, settings::PrintJobSettings{});
  EXPECT_EQ(fresh.saveSettings, 0);
  EXPECT_EQ(fresh.settingsReadOnly, 0);

  store.printSettings = settings::PrintJobSettings{.copies = 2, .layout = 3};
  store.readOnly = true;
  PdfPrintSettings saved(store);
  saved.LoadSavedSettings();
  EXPECT_EQ(saved.settings, *store.printSettings);
  EXPECT_EQ(saved.saveSettings, 1);
  EXPECT_EQ(saved.settingsReadOnly, 1);
}

SettingsForm ValidForm() {
  SettingsForm form;
  form.fromPage = "5";
  form.toPage = "9";
  form.copies = " 12\t";
  form.allPages = false;
  form.toLastPage = true;
  form.collate = true;
  form.saveSettings = true;
  form.duplexMode = 1;
  form.paperType = 1;
  form.printMode = 2;
  form.paperSize = 1;
  form.layout = 3;
  form.outputColor = 1;
  return form;
}

TEST(PdfPrintSettings, OkTakesTheFormAndSavesOrForgets) {
  fakes::FakeSettingsStore store;
  PdfPrintSettings dialog(store);
  EXPECT_TRUE(dialog.Ok(ValidForm()).valid);
  const settings::PrintJobSettings expected{1, 1, 1, 12, 1, 1, 2, 5, 9, 1, 3, 1};
  EXPECT_EQ(dialog.settings, expected);
  EXPECT_EQ(dialog.saveSettings, 1);
  EXPECT_EQ(store.printSettings, expected);
  SettingsForm unsaved = ValidForm();
  unsaved.saveSettings = false;
  dialog.Ok(unsaved);
  EXPECT_EQ(store.printSettings, std::nullopt);
}

TEST(PdfPrintSettings, OkStopsAtTheFirstInvalidNumberButAppliesTheRest) {
  struct Case {
    const char* from;
    const char* to;
    const char* copies;
    NumberField field;
    const char* message;
    bool plainBox;
  };
  const Case cases[] = {
      {"0", "abc", "1", NumberField::FromPage, "Please enter an integer between 1 and 999.", false},
      {"1", "1000", "1", NumberField::ToPage, "Please enter an integer between 1 and 999.", false},
      {"1", "2", "", NumberField::Copies, "Please enter a positive integer.", true},
      {"1", "2", "abc", NumberField::Copies, "Please enter a positive integer.", true},
      {"1", "2", "-1", NumberField::Copies, "Please enter a positive integer.", true},
      {"1", "2", "+3", NumberField::Copies, "Please enter a positive integer.", true},
      {"1", "2", "99999999999", NumberField::Copies, "Please enter a positive integer.", true},
  };
  for (const Case& c : cases) {
    fakes::FakeSettingsStore store;
    PdfPrintSettings dialog(store);
    SettingsForm form = ValidForm();
    form.fromPage = c.from;
    form.toPage = c.to;
    form.copies = c.copies;
    const SettingsOkResult result = dialog.Ok(form);
    EXPECT_FALSE(result.valid) << c.from << " " << c.to << " " << c.copies;
    EXPECT_EQ(result.field, c.field) << c.copies;
    EXPECT_EQ(result.verdict.message, c.message) << c.copies;
    EXPECT_EQ(result.verdict.plainBox, c.plainBox) << c.copies;
    // A number outside the range is stored; the lists, boxes and the saved
    // settings are applied all the same, but Save Settings' member is not.
    EXPECT_EQ(dialog.settings.fromPage, std::atoi(c.from));
    EXPECT_EQ(dialog.settings.layout, 3);
    EXPECT_EQ(dialog.settings.collate, 1);
    EXPECT_EQ(dialog.saveSettings, 0);
    EXPECT_TRUE(store.printSettings.has_value());
  }
}

}  // namespace
}  // namespace pagewire::dialogs
