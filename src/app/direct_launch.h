// Direct mode of start-up: a document path on the command line goes to the
// default printer, after the confirmation dialog unless ShowDragDlg exists.
#pragma once

#include <functional>
#include <string>

#include "app/launch_decisions.h"
#include "platform/platform.h"

namespace pagewire::app {

inline constexpr const char* kFilePathNotObtained = "The file path cannot be obtained.";

// What the confirmation dialog is given before its run.
struct ConfirmRequest {
  std::string fileName;
  std::string printerName;
  bool skipBoxUnavailable = false;
};

// The windows and the job, supplied by the Win32 shell (or a test).
struct DirectLaunchHooks {
  std::function<std::string()> defaultPrinter;  // empty when there is none
  std::function<PrintConfirmResult(const ConfirmRequest&)> runConfirmDlg;
  std::function<void(const std::string& filePath, const std::string& printerName,
                     bool interactive)>
      runPrintJob;
};

// The display name: quotes handled, then the entry's own long name when the
// file system finds it (else the message, and the name unchanged).
std::string ResolveDisplayName(platform::Platform& platform, const std::string& commandTail);

void RunDirectLaunch(platform::Platform& platform, const std::string& commandTail,
                     const DirectLaunchHooks& hooks);

}  // namespace pagewire::app
