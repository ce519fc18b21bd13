// The portable side of the "PDF File Print" dialog: the command's settings
// record, the Save Settings state and the saved settings in the registry.
#pragma once

#include <string>

#include "job/print_job_settings.h"
#include "platform/registry.h"

namespace pagewire::dialogs {

// "SOFTWARE\Orvelle\Pagewire\" followed by the application's name.
std::string SavedSettingsKey(const std::string& applicationName);

class PdfPrintSettings {
 public:
  PdfPrintSettings(platform::Registry& registry, std::string applicationName);

  // Fills the record and both flags from the registry; tests write access.
  void LoadSavedSettings();
  // Writes the three values; silent when the key cannot be created.
  void SaveSettings();
  // The registry part of OK: save when Save Settings is ticked, else remove
  // the saved settings (a missing key is fine).
  void ApplyOk();

  job::PrintJobSettings settings;
  int saveSettings = 0;
  int settingsReadOnly = 0;

 private:
  void LoadValues(platform::RegKey key);
  void TestWriteAccess(platform::RegKey key, std::uint32_t pages);
  void TestKeyCreation();

  platform::Registry& registry_;
  std::string key_;
};

}  // namespace pagewire::dialogs
