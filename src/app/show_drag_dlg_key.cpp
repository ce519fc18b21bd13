#include "app/show_drag_dlg_key.h"

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

bool ConfirmEndingKeepsKey(PrintConfirmResult result, bool skipChecked) {
  return result != PrintConfirmResult::Cancel && skipChecked;
}

void ApplyConfirmEnding(platform::Registry& registry, PrintConfirmResult result,
                        bool skipChecked) {
  if (!ConfirmEndingKeepsKey(result, skipChecked)) DeleteShowDragDlgKey(registry);
}

}  // namespace pagewire::app
