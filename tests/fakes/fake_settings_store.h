// The settings store as a plain in-memory record.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "platform/settings_store.h"

namespace pagewire::fakes {

class FakeSettingsStore : public platform::SettingsStore {
 public:
  std::optional<settings::PrintJobSettings> printSettings;  // as saved
  std::optional<settings::MacAddress> macAddress;
  bool skipsConfirmation = false;
  bool readOnly = false;  // nothing can be kept, changed or forgotten
  std::set<std::string> portsWithAddress;

  platform::SavedPrintSettings LoadPrintSettings(const settings::PrintJobSettings&) override {
    return {printSettings, !readOnly};
  }
  bool SavePrintSettings(const settings::PrintJobSettings& settings) override;
  void ForgetPrintSettings() override;
  std::optional<settings::MacAddress> LoadMacAddress() override { return macAddress; }
  void SaveMacAddress(const settings::MacAddress& address) override;
  void ForgetMacAddress() override;
  bool SkipsConfirmation() override { return skipsConfirmation; }
  bool MarkSkipConfirmation() override;
  void ClearSkipConfirmation() override;
  bool PortHasAddress(const std::string& portName) override {
    return portsWithAddress.count(portName) != 0;
  }
};

}  // namespace pagewire::fakes
