#include "job/pdf_print_settings.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace pagewire::job {
namespace {

const std::string kKey = "SOFTWARE\\Orvelle\\Pagewire\\Pagewire";

// What ValidForm() gives, and the saved values of the same choices.
settings::PrintJobSettings FormSettings(std::int32_t copies) {
  using namespace settings;
  return {true, true, PaperType::PrinterSettings, copies, PaperSize::Auto, Duplex::LongEdge,
          PrintMode::HighQuality, 5, 9, OutputColor::Black, Layout::TwoUp, Collation::Collated};
}

TEST(PdfPrintSettings, NoKeyWritableLeavesNothingBehind) {
  fakes::FakeRegistry registry;
  PdfPrintSettings dialog(registry, "Pagewire");
  dialog.LoadSavedSettings();
  EXPECT_EQ(dialog.settings, settings::PrintJobSettings{});
  EXPECT_EQ(dialog.saveSettings, 0);
  EXPECT_EQ(dialog.settingsReadOnly, 0);
  EXPECT_FALSE(registry.HasKey(kKey));
  EXPECT_EQ(registry.openKeys(), 0);
}

TEST(PdfPrintSettings, NoRightToCreateDisablesSave) {
  fakes::FakeRegistry registry;
  registry.denyCreate = true;
  PdfPrintSettings dialog(registry, "Pagewire");
  dialog.LoadSavedSettings();
  EXPECT_EQ(dialog.settingsReadOnly, 1);
}

TEST(PdfPrintSettings, SavedValuesLoadAndReadOnlyKeyIsDetected) {
  fakes::FakeRegistry registry;
  registry.SetDword(kKey, "PrintMode", 0x01020101u);
  registry.SetDword(kKey, "Copies", (1u << 30) + (1u << 29) + 3u * 65536u + 2u);
  registry.SetDword(kKey, "Pages", (1u << 31) + 9u * 65536u + 5u);
  registry.denyWrite = true;  // the key opens for reading only...
  PdfPrintSettings readOnly(registry, "Pagewire");
  readOnly.LoadSavedSettings();
  // ...which fails the full-access open: treated as no key that can be created.
  EXPECT_EQ(readOnly.settingsReadOnly, 1);
  registry.denyWrite = false;
  PdfPrintSettings dialog(registry, "Pagewire");
  dialog.LoadSavedSettings();
  EXPECT_EQ(dialog.saveSettings, 1);
  EXPECT_EQ(dialog.settingsReadOnly, 0);
  const settings::PrintJobSettings& s = dialog.settings;
  EXPECT_EQ(s, FormSettings(2));
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

TEST(PdfPrintSettings, OkTakesTheFormAndSavesOrDeletes) {
  fakes::FakeRegistry registry;
  PdfPrintSettings dialog(registry, "Pagewire");
  EXPECT_TRUE(dialog.Ok(ValidForm()).valid);
  EXPECT_EQ(dialog.settings, FormSettings(12));
  EXPECT_EQ(dialog.saveSettings, 1);
  EXPECT_EQ(registry.Dword(kKey, "Copies"), (1u << 30) + (1u << 29) + 3u * 65536u + 12u);
  EXPECT_EQ(registry.Dword(kKey, "Pages"), (1u << 31) + 9u * 65536u + 5u);
  EXPECT_EQ(registry.Dword(kKey, "PrintMode"), 0x01020101u);
  SettingsForm unsaved = ValidForm();
  unsaved.saveSettings = false;
  dialog.Ok(unsaved);
  EXPECT_FALSE(registry.HasKey(kKey));
  dialog.Ok(unsaved);  // a missing key is fine
  EXPECT_EQ(registry.openKeys(), 0);
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
    fakes::FakeRegistry registry;
    PdfPrintSettings dialog(registry, "Pagewire");
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
    EXPECT_EQ(dialog.saveSettings, 0);
    EXPECT_TRUE(registry.HasKey(kKey));
  }
}

}  // namespace
}  // namespace pagewire::job
