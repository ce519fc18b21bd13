// The portable side of the "Enter Password" dialog: the printer's MAC
// address fields.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "job/password.h"
#include "platform/settings_store.h"
#include "settings/print_job_settings.h"

namespace pagewire::dialogs {

inline constexpr std::size_t kMacFieldCount = 6;
inline constexpr const char* kMacFieldsMalformed = "String is Fail.\n";

// The six fields' texts for an address: two lower-case hex digits each.
std::vector<std::string> MacFieldTexts(const settings::MacAddress& address);

// OK's address step over the texts of the fields walked in tab order.
// False when the walk stopped early (a malformed field, or fewer than six
// fields): the caller shows kMacFieldsMalformed and nothing is changed.
// Otherwise six filled fields are saved and become `entry.macAddress`; an
// empty field forgets the saved address and leaves no address.
bool ApplyMacFields(const std::vector<std::string>& fieldTexts, platform::SettingsStore& store,
                    job::PasswordEntry& entry);

}  // namespace pagewire::dialogs
