// All ports together, handed to the logic that needs several of them.
#pragma once

#include "platform/dialog_results.h"
#include "platform/file_system.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/spooler.h"
#include "platform/system_facts.h"
#include "platform/user_interface.h"

namespace pagewire::platform {

struct Platform {
  SettingsStore& settingsStore;
  Spooler& spooler;
  FileSystem& fileSystem;
  Shell& shell;
  SystemFacts& systemFacts;
  UserInterface& ui;
};

}  // namespace pagewire::platform
