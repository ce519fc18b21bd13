// Settings store port: what the program keeps from one run to the next (the
// saved print settings, the printer's MAC address, whether a direct launch
// asks first), and whether a printer port has a network address recorded.
//
// Failures are silent unless a method says otherwise: what cannot be read
// is absent, what cannot be kept is lost.
#pragma once

#include <optional>
#include <string>

#include "settings/print_job_settings.h"

namespace pagewire::platform {

struct SavedPrintSettings {
  // The saved settings over the defaults given (a setting the store does
  // not hold keeps its default); none when no settings are saved.
  std::optional<settings::PrintJobSettings> settings;
  // Whether SavePrintSettings can keep settings.
  bool canSave = false;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // Reading writes nothing that another run would see.
  virtual SavedPrintSettings LoadPrintSettings(const settings::PrintJobSettings& defaults) = 0;
  // False when the settings were not kept.
  virtual bool SavePrintSettings(const settings::PrintJobSettings& settings) = 0;
  // The next run starts from the defaults.
  virtual void ForgetPrintSettings() = 0;

  // The address given last for the printer, if any.
  virtual std::optional<settings::MacAddress> LoadMacAddress() = 0;
  virtual void SaveMacAddress(const settings::MacAddress& address) = 0;
  virtual void ForgetMacAddress() = 0;

  // Whether a direct launch prints without the confirmation dialog.
  virtual bool SkipsConfirmation() = 0;
  // Marks it so; false when the mark cannot be kept.
  virtual bool MarkSkipConfirmation() = 0;
  virtual void ClearSkipConfirmation() = 0;

  // Whether the printer port `portName` has a network address (an IP
  // address or a host name) recorded for it.
  virtual bool PortHasAddress(const std::string& portName) = 0;
};

}  // namespace pagewire::platform
