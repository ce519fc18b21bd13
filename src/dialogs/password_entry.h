// The portable side of the "Enter Password" dialog: what it keeps for the
// attempts on one file and the printer's MAC address fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace pagewire::dialogs {

using MacAddress = platform::MacAddress;

inline constexpr std::size_t kPasswordMaxChars = 32;
inline constexpr std::size_t kMacFieldCount = 6;
inline constexpr const char* kMacFieldsMalformed = "String is Fail.\n";

// Overwrites every byte a secret occupies before it is let go.
void WipeSecret(std::string& secret);
void WipeSecret(void* bytes, std::size_t size);

// The dialog's members that outlive one run; a retry shows the previous
// entry. The password is wiped when the entry goes.
struct PasswordEntry {
  PasswordEntry() = default;
  PasswordEntry(const PasswordEntry& other) = default;
  PasswordEntry& operator=(const PasswordEntry& other) = default;
  ~PasswordEntry() {
    WipeSecret(password);
    WipeSecret(passwordUtf8);
  }

  std::string fileName;           // shown read-only
  bool macEntryDisabled = false;  // the port has no address: no details
  // The typed text twice: in the system code page (revisions 2 to 4 take
  // it) and in UTF-8 (revisions 5 and 6). The command gives both the bytes
  // typed.
  std::string password;
  std::string passwordUtf8;
  std::optional<MacAddress> macAddress;  // the printer's address, when given
};

// The six fields' texts for an address: two lower-case hex digits each.
std::vector<std::string> MacFieldTexts(const MacAddress& address);

// OK's address step over the texts of the fields walked in tab order.
// False when the walk stopped early (a malformed field, or fewer than six
// fields): the caller shows kMacFieldsMalformed and nothing is changed.
// Otherwise six filled fields are saved and become `entry.macAddress`; an
// empty field forgets the saved address and leaves no address.
bool ApplyMacFields(const std::vector<std::string>& fieldTexts, platform::SettingsStore& store,
                    PasswordEntry& entry);

}  // namespace pagewire::dialogs
