// All ports together, handed to the logic that needs several of them.
#pragma once

#include "platform/file_system.h"
#include "platform/printers.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/system_facts.h"
#include "platform/user_interface.h"

namespace pagewire::platform {

struct Platform {
  SettingsStore& settingsStore;
  Printers& printers;
  FileSystem& fileSystem;
  Shell& shell;
  SystemFacts& systemFacts;
  UserInterface& ui;
};

}  // namespace pagewire::platform
