// The "PDF File Print" dialog's rules: which controls are enabled for the
// current choices, and the range of its number fields.
#pragma once

#include <cstdint>

namespace pagewire::dialogs {

// From Page, To Page, Copies and their up-down controls.
inline constexpr std::int32_t kNumberFieldMin = 1;
inline constexpr std::int32_t kNumberFieldMax = 999;

struct SettingsChoices {
  bool selectPages = false;  // Select Pages chosen (else All Pages)
  bool toLastPage = false;   // To the Last Page ticked
  std::int32_t layout = 0;   // the Layout list's index, -1 for none
  bool settingsReadOnly = false;
};

// The enabled state of every control that can change; the others are
// always enabled.
struct SettingsEnabling {
  bool pageChoice = true;  // All Pages and Select Pages
  bool fromPage = false;
  bool toPage = false;
  bool toLastPage = false;
  bool duplex = true;
  bool paperType = true;
  bool paperSize = true;
  bool saveSettings = true;

  bool operator==(const SettingsEnabling&) const = default;
};

// Booklet locks the page range, two-sided printing and the paper type;
// "2 up" and "4 up" lock the paper size; the page fields follow Select
// Pages and To the Last Page.
SettingsEnabling EnablingFor(const SettingsChoices& choices);

}  // namespace pagewire::dialogs
