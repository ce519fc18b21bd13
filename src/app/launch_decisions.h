// Small decisions of start-up and the shell's dialogs, kept apart from the
// windows so that they run in native tests.
#pragma once

#include <string>

#include "job/path_quotes.h"

namespace pagewire::app {

// How the direct-print confirmation ended: Print ("OK"), Cancel (also Esc
// and the close box) or "&Print Settings...".
enum class PrintConfirmResult { Ok, Cancel, PrintSettings };

// An empty command-line tail opens the main dialog; anything else is a
// document for the default printer.
bool IsDirectLaunch(const std::string& commandTail);

// The display name's quote handling is the print command's own.
using job::StripOuterQuotes;

// The confirmation dialog's Print Settings apply to PDF files only: off for
// names holding ".tif", ".jpeg", ".jpg" or ".qlr" in any letter case.
bool PrintSettingsAvailable(const std::string& fileName);

// "&Print..." is off only for a port reading exactly "FILE:".
bool PrintEnabledForPort(const std::string& portText);

// Whether the job shows its dialogs: only after "&Print Settings...".
bool InteractiveFromConfirmResult(PrintConfirmResult result);

}  // namespace pagewire::app
