#include "app/show_drag_dlg_key.h"

#include "platform/dialog_results.h"

namespace pagewire::app {

void RemoveShowDragDlgKeyIfPresent(platform::SettingsStore& store) {
  if (store.SkipsConfirmation()) store.ClearSkipConfirmation();
}

bool ConfirmEndingKeepsKey(int dialogResult, bool skipChecked) {
  const bool printing =
      dialogResult == platform::kIdOk || dialogResult == platform::kIdPrintSettings;
  return printing && skipChecked;
}

void ApplyConfirmEnding(platform::SettingsStore& store, int dialogResult, bool skipChecked) {
  if (!ConfirmEndingKeepsKey(dialogResult, skipChecked)) store.ClearSkipConfirmation();
}

}  // namespace pagewire::app
