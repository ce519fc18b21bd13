#include "app/show_drag_dlg_key.h"

#include "platform/dialog_results.h"

namespace pagewire::app {

bool ShowDragDlgKeyExists(platform::Registry& registry) {
  platform::ScopedRegKey key(registry);
  return registry.OpenKey(kShowDragDlgKey, platform::RegAccess::Read, key.Out()) ==
         platform::kRegSuccess;
}

bool CreateShowDragDlgKey(platform::Registry& registry) {
  platform::ScopedRegKey key(registry);
  return registry.CreateKey(kShowDragDlgKey, platform::RegAccess::AllAccess, key.Out()) ==
         platform::kRegSuccess;
}

void DeleteShowDragDlgKey(platform::Registry& registry) { registry.DeleteKey(kShowDragDlgKey); }

void RemoveShowDragDlgKeyIfPresent(platform::Registry& registry) {
  if (ShowDragDlgKeyExists(registry)) DeleteShowDragDlgKey(registry);
}

bool ConfirmEndingKeepsKey(int dialogResult, bool skipChecked) {
  const bool printing =
      dialogResult == platform::kIdOk || dialogResult == platform::kIdPrintSettings;
  return printing && skipChecked;
}

void ApplyConfirmEnding(platform::Registry& registry, int dialogResult, bool skipChecked) {
  if (!ConfirmEndingKeepsKey(dialogResult, skipChecked)) DeleteShowDragDlgKey(registry);
}

}  // namespace pagewire::app
