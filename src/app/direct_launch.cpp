#include "app/direct_launch.h"

#include "app/launch_decisions.h"

namespace pagewire::app {

std::string ResolveDisplayName(platform::Platform& platform, const std::string& commandTail) {
  std::string name = StripOuterQuotes(commandTail);
  if (const auto entry = platform.fileSystem.LookUp(name)) return entry->name;
  platform.ui.ShowMessageBox(kFilePathNotObtained, platform::MessageButtons::Ok,
                             platform::MessageIcon::Exclamation);
  return name;
}

namespace {

PrintConfirmResult AskConfirmation(platform::Platform& platform, const std::string& displayName,
                                   const std::string& printer, const DirectLaunchHooks& hooks) {
  if (platform.settingsStore.SkipsConfirmation()) return PrintConfirmResult::Ok;
  // The mark is set while the dialog is open; the dialog's ending decides
  // whether it stays.
  ConfirmRequest request;
  request.skipBoxUnavailable = !platform.settingsStore.MarkSkipConfirmation();
  request.fileName = displayName;
  request.printerName = printer;
  return hooks.runConfirmDlg(request);
}

}  // namespace

void RunDirectLaunch(platform::Platform& platform, const std::string& commandTail,
                     const DirectLaunchHooks& hooks) {
  const std::string printer = hooks.defaultPrinter();
  const std::string displayName = ResolveDisplayName(platform, commandTail);
  const PrintConfirmResult result = AskConfirmation(platform, displayName, printer, hooks);
  if (result == PrintConfirmResult::Cancel) return;
  // The job does its own quote handling, so it gets the tail as received.
  hooks.runPrintJob(commandTail, hooks.defaultPrinter(), InteractiveFromConfirmResult(result));
}

}  // namespace pagewire::app
