#include "dialogs/settings_rules.h"

#include "job/print_job_settings.h"

namespace pagewire::dialogs {

using job::kLayout2Up;
using job::kLayout4Up;
using job::kLayoutBooklet;

SettingsEnabling EnablingFor(const SettingsChoices& choices) {
  SettingsEnabling on;
  const bool booklet = choices.layout == kLayoutBooklet;
  const bool nUp = choices.layout == kLayout2Up || choices.layout == kLayout4Up;
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
