#include "dialogs/settings_rules.h"

namespace pagewire::dialogs {

SettingsEnabling EnablingFor(const SettingsChoices& choices) {
  SettingsEnabling on;
  const bool booklet = choices.layout == settings::Layout::Booklet;
  on.pageChoice = !booklet;
  on.fromPage = !booklet && choices.selectPages;
  on.toPage = on.fromPage && !choices.toLastPage;
  on.toLastPage = on.fromPage;
  on.duplex = !booklet;
  on.paperType = !booklet;
  on.paperSize = !settings::IsNUp(choices.layout);
  on.saveSettings = !choices.settingsReadOnly;
  return on;
}

}  // namespace pagewire::dialogs
