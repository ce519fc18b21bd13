// The real adapters of every port, bundled for the application.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_printers.h"
#include "platform/win32/win32_settings_store.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_facts.h"
#include "platform/win32/win32_user_interface.h"

namespace pagewire::app {

struct Win32Platform {
  platform::win32::Win32Printers printers;
  platform::win32::Win32FileSystem fileSystem;
  platform::win32::Win32Shell shell;
  platform::win32::Win32SystemFacts systemFacts;
  platform::win32::Win32UserInterface ui;
  platform::win32::Win32SettingsStore settingsStore{systemFacts.ApplicationName()};
  platform::Platform ports{settingsStore, printers, fileSystem, shell, systemFacts, ui};
};

}  // namespace pagewire::app
