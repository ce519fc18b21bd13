#include "dialogs/settings_rules.h"

#include "settings/print_job_settings.h"

namespace pagewire::dialogs {

using settings::kLayout2Up;
using settings::kLayout4Up;
using settings::kLayoutBooklet;

SettingsEnabling EnablingFor(const SettingsChoices& choices) {
  SettingsEnabling on;
  const bool booklet = choices.layout == settings::kLayoutBooklet;
  const bool nUp = choices.layout == settings::kLayout2Up || choices.layout == settings::kLayout4Up;
  on.pageChoice = !booklet;
  on.fromPage = !booklet && choices.selectPages;
  on.toPage = on.fromPage && !choices.toLastPage;
  on.toLastPage = on.fromPage;
  on.duplex = !booklet;
  on.paperType = !booklet;
  on.paperSize = !nUp;
  on.saveSettings = !choices.settingsReadOnly;
  return on;
}

}  // namespace pagewire::dialogs
