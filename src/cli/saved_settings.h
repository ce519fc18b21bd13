// The settings file read as the command line is: each saved value goes
// through the parser of its option, so that a bad one is named by its line
// before anything is sent.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "platform/linux/linux_settings_store.h"

namespace pagewire::cli {

struct SavedSettings {
  SettingOverrides settings;  // the settings the file holds
  // The file holds the earlier, bit-packed form, which the store reads.
  bool earlierForm = false;
};

// None, with `error` naming "PATH:LINE", at the first line that is wrong.
std::optional<SavedSettings> ReadSavedSettings(const std::vector<platform::SettingsFileLine>& lines,
                                               const std::string& path, std::string& error);

}  // namespace pagewire::cli
