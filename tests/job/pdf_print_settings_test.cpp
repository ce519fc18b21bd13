#include "job/pdf_print_settings.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace pagewire::job {
namespace {

// What ValidForm() gives.
settings::PrintJobSettings FormSettings(std::int32_t copies) {
  using namespace settings;
  return {true, true, PaperType::PrinterSettings, copies, PaperSize::Auto, Duplex::LongEdge,
          PrintMode::HighQuality, 5, 9, OutputColor::Black, Layout::TwoUp, Collation::Collated};
}

TEST(PdfPrintSettings, LoadTakesTheSavedRecordAndWhetherItCanBeSaved) {
  fakes::FakeSettingsStore store;
  PdfPrintSettings fresh(store);
  fresh.LoadSavedSettings();
  EXPECT_EQ(fresh.settings, settings::PrintJobSettings{});
  EXPECT_FALSE(fresh.saveSettings);
  EXPECT_FALSE(fresh.settingsReadOnly);

  store.printSettings = FormSettings(2);
  store.readOnly = true;
  PdfPrintSettings saved(store);
  saved.LoadSavedSettings();
  EXPECT_EQ(saved.settings, FormSettings(2));
  EXPECT_TRUE(saved.saveSettings);
  EXPECT_TRUE(saved.settingsReadOnly);
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
  EXPECT_EQ(dialog.settings, FormSettings(12));
  EXPECT_TRUE(dialog.saveSettings);
  EXPECT_EQ(store.printSettings, FormSettings(12));
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
    EXPECT_EQ(dialog.settings.layout, settings::Layout::TwoUp);
    EXPECT_EQ(dialog.settings.collate, settings::Collation::Collated);
    EXPECT_FALSE(dialog.saveSettings);
    EXPECT_TRUE(store.printSettings.has_value());
  }
}

}  // namespace
}  // namespace pagewire::job
