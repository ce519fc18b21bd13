// The ShowDragDlg mark: while it is set, a direct launch prints without
// asking first.
#pragma once

#include "app/launch_decisions.h"
#include "platform/settings_store.h"

namespace pagewire::app {

// What the main dialog does when it opens: clear the mark if it is set.
void RemoveShowDragDlgKeyIfPresent(platform::SettingsStore& store);

// How the confirmation dialog ended and whether its skip box was ticked:
// the mark stays only for OK or Print Settings with the box ticked.
bool ConfirmEndingKeepsKey(PrintConfirmResult result, bool skipChecked);
void ApplyConfirmEnding(platform::SettingsStore& store, PrintConfirmResult result,
                        bool skipChecked);

}  // namespace pagewire::app
