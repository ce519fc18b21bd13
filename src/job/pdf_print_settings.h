// The portable side of the "PDF File Print" dialog: the command's settings
// record, the Save Settings state and the saved settings.
#pragma once

#include <cstdint>
#include <string>

#include "settings/print_job_settings.h"
#include "platform/field_validation.h"
#include "platform/settings_store.h"

namespace pagewire::job {

// What the dialog's controls hold when OK is pressed.
struct SettingsForm {
  std::string fromPage, toPage, copies;  // the number fields' texts
  bool allPages = true;
  bool toLastPage = false;
  bool collate = false;
  bool saveSettings = false;
  // The lists' selected indexes, -1 for none.
  std::int32_t duplexMode = -1, paperType = -1, printMode = -1, paperSize = -1, layout = -1,
               outputColor = -1;
};

enum class NumberField { FromPage, ToPage, Copies };

// OK's verdict: when not valid, the field to show `verdict.message` for;
// the dialog then stays open.
struct SettingsOkResult {
  bool valid = true;
  NumberField field = NumberField::FromPage;
  platform::FieldVerdict verdict;
};

class PdfPrintSettings {
 public:
  explicit PdfPrintSettings(platform::SettingsStore& store);

  // Fills the record and both flags from the store.
  void LoadSavedSettings();
  // False when the settings were not kept (the dialogs go on silently).
  bool SaveSettings();
  // OK: the number fields are read and checked in order up to the first
  // invalid one; the lists, the page choice, the two boxes and the saved
  // settings are applied even when a field is invalid.
  SettingsOkResult Ok(const SettingsForm& form);

  settings::PrintJobSettings settings;
  bool saveSettings = false;      // the Save Settings box
  bool settingsReadOnly = false;  // the saved settings cannot be written

 private:
  SettingsOkResult ExchangeNumbers(const SettingsForm& form);

  platform::SettingsStore& store_;
};

}  // namespace pagewire::job
