// The "PDF File Print" dialog's rules: which controls are enabled for the
// current choices.
#pragma once

#include "settings/print_job_settings.h"

namespace pagewire::dialogs {

struct SettingsChoices {
  bool selectPages = false;  // Select Pages chosen (else All Pages)
  bool toLastPage = false;   // To the Last Page ticked
  settings::Layout layout = settings::Layout::AutoZoom;
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
