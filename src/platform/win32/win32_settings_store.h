// Settings store over the Win32 registry, under HKEY_LOCAL_MACHINE:
//   SOFTWARE\Orvelle\Pagewire\<application>  "PrintMode", "Copies", "Pages"
//                                            (REG_DWORD, bit-packed)
//   SOFTWARE\Orvelle\Pagewire\MacAddr        "<application>" (REG_BINARY, 6 bytes)
//   SOFTWARE\Orvelle\Pagewire\ShowDragDlg    its existence skips the confirmation
// and, read only, the port lists of the TCP/IP and LPR port monitors.
#pragma once

#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace pagewire::platform::win32 {

// Where a port's address is looked for on a Windows version: the key below
// HKEY_LOCAL_MACHINE and the values asked in turn.
struct PortAddressQuery {
  std::string key;
  std::vector<std::string> valueNames;
};
PortAddressQuery PortAddressQueryFor(std::uint32_t platformId, std::uint32_t majorVersion,
                                     const std::string& portName);

class Win32SettingsStore : public SettingsStore {
 public:
  // Keys and values named after the application are named `applicationName`.
  explicit Win32SettingsStore(std::string applicationName);

  SavedPrintSettings LoadPrintSettings(const settings::PrintJobSettings& defaults) override;
  bool SavePrintSettings(const settings::PrintJobSettings& settings) override;
  void ForgetPrintSettings() override;
  std::optional<settings::MacAddress> LoadMacAddress() override;
  void SaveMacAddress(const settings::MacAddress& address) override;
  void ForgetMacAddress() override;
  bool SkipsConfirmation() override;
  bool MarkSkipConfirmation() override;
  void ClearSkipConfirmation() override;
  bool PortHasAddress(const std::string& portName) override;

 private:
  std::string applicationName_;
  std::string settingsKey_;
};

}  // namespace pagewire::platform::win32
