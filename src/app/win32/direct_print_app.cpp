#include "app/win32/direct_print_app.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "app/direct_launch.h"
#include "app/launch_decisions.h"
#include "app/win32/direct_print_dlg.h"
#include "app/win32/print_confirm_dlg.h"
#include "app/win32/win32_platform.h"
#include "dialogs/win32/win32_job_dialogs.h"
#include "platform/win32/message_box.h"

namespace pagewire::app {

std::string DirectPrintApp::DefaultPrinter() {
  PRINTDLGA query{};
  query.lStructSize = sizeof(query);
  query.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                PD_NOSELECTION | PD_RETURNDEFAULT;
  std::string name;
  if (PrintDlgA(&query) && query.hDevNames != nullptr) {
    if (const auto* names = static_cast<const DEVNAMES*>(GlobalLock(query.hDevNames))) {
      name = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
      GlobalUnlock(query.hDevNames);
    }
  }
  if (query.hDevNames != nullptr) GlobalFree(query.hDevNames);
  if (query.hDevMode != nullptr) GlobalFree(query.hDevMode);
  return name;
}

bool DirectPrintApp::InitInstance(const std::string& commandTail) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  Win32Platform system;
  platform::win32::SetMessageBoxCaption(system.systemFacts.ApplicationName());
  dialogs::win32::Win32JobDialogs jobDialogs(system.settingsStore);
  DirectPrintDlg mainDlg(system.ports, jobDialogs, job::RealPdfInspection());
  if (!IsDirectLaunch(commandTail)) {
    mainDlg.RunModal();
    return false;
  }
  DirectLaunchHooks hooks;
  hooks.defaultPrinter = &DirectPrintApp::DefaultPrinter;
  hooks.runConfirmDlg = [&system](const ConfirmRequest& request) {
    PrintConfirmDlg confirm(system.settingsStore);
    confirm.skipBoxUnavailable = request.skipBoxUnavailable;
    confirm.fileName = request.fileName;
    confirm.printerName = request.printerName;
    return confirm.Run();
  };
  hooks.runPrintJob = [&mainDlg](const std::string& filePath, const std::string& printerName,
                                 bool interactive) {
    mainDlg.Model().filePath = filePath;
    mainDlg.Model().printerName = printerName;
    mainDlg.Model().RunPrintJob(interactive);
  };
  RunDirectLaunch(system.ports, commandTail, hooks);
  return false;
}

}  // namespace pagewire::app

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR commandLine,
                   int /*show*/) {
  // Nothing may escape into the system; an unexpected failure ends quietly.
  try {
    pagewire::app::DirectPrintApp().InitInstance(commandLine != nullptr ? commandLine : "");
  } catch (...) {
    return 1;
  }
  return 0;
}
