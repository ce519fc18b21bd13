#include "fakes/fake_settings_store.h"

namespace pagewire::fakes {

bool FakeSettingsStore::SavePrintSettings(const settings::PrintJobSettings& settings) {
  if (!readOnly) printSettings = settings;
  return !readOnly;
}

void FakeSettingsStore::ForgetPrintSettings() {
  if (!readOnly) printSettings.reset();
}

void FakeSettingsStore::SaveMacAddress(const settings::MacAddress& address) {
  if (!readOnly) macAddress = address;
}

void FakeSettingsStore::ForgetMacAddress() {
  if (!readOnly) macAddress.reset();
}

bool FakeSettingsStore::MarkSkipConfirmation() {
  if (!readOnly) skipsConfirmation = true;
  return !readOnly;
}

void FakeSettingsStore::ClearSkipConfirmation() {
  if (!readOnly) skipsConfirmation = false;
}

}  // namespace pagewire::fakes
