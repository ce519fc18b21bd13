// The ShowDragDlg key: its mere existence makes a direct launch print
// without asking first.
#pragma once

#include "app/launch_decisions.h"
#include "platform/registry.h"

namespace pagewire::app {

inline constexpr const char* kShowDragDlgKey = "SOFTWARE\\Orvelle\\Pagewire\\ShowDragDlg";

// Opens the key for reading; only whether it opens counts.
bool ShowDragDlgKeyExists(platform::Registry& registry);
// Creates the key (non-volatile, all access); false when that fails.
bool CreateShowDragDlgKey(platform::Registry& registry);
// Deletes the key; a failure is not reported (the key then stays).
void DeleteShowDragDlgKey(platform::Registry& registry);
// What the main dialog does when it opens: delete the key if it is there.
void RemoveShowDragDlgKeyIfPresent(platform::Registry& registry);

// How the confirmation dialog ended and whether its skip box was ticked:
// the key stays only for OK or Print Settings with the box ticked.
bool ConfirmEndingKeepsKey(PrintConfirmResult result, bool skipChecked);
void ApplyConfirmEnding(platform::Registry& registry, PrintConfirmResult result, bool skipChecked);

}  // namespace pagewire::app
