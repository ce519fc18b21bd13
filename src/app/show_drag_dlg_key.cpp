#include "app/show_drag_dlg_key.h"

namespace pagewire::app {

void RemoveShowDragDlgKeyIfPresent(platform::SettingsStore& store) {
  if (store.SkipsConfirmation()) store.ClearSkipConfirmation();
}

bool ConfirmEndingKeepsKey(PrintConfirmResult result, bool skipChecked) {
  return result != PrintConfirmResult::Cancel && skipChecked;
}

void ApplyConfirmEnding(platform::SettingsStore& store, PrintConfirmResult result,
                        bool skipChecked) {
  if (!ConfirmEndingKeepsKey(result, skipChecked)) store.ClearSkipConfirmation();
}

}  // namespace pagewire::app
