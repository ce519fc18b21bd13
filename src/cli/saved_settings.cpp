#include "cli/saved_settings.h"

namespace pagewire::cli {
namespace {

using Kind = platform::SettingsFileLine::Kind;

bool ReadValue(const platform::SettingsFileLine& line, SettingOverrides& saved,
               std::string& error) {
  if (line.key == "copies") return ParseCopies(line.value, saved, error, line.key);
  if (line.key == "pages") return ParsePageRange(line.value, saved, error, line.key);
  if (line.key == "mac") {
    settings::MacAddress mac{};
    return ParseMac(line.value, mac, error, line.key);
  }
  if (ParseSettings(line.key + "=" + line.value, saved, error, "")) return true;
  if (error.empty()) error = line.key + ": a value is needed";
  return false;
}

}  // namespace

std::optional<SavedSettings> ReadSavedSettings(const std::vector<platform::SettingsFileLine>& lines,
                                               const std::string& path, std::string& error) {
  SavedSettings saved;
  for (const platform::SettingsFileLine& line : lines) {
    error.clear();
    switch (line.kind) {
      case Kind::EarlierForm:
        saved.earlierForm = true;
        continue;
      case Kind::Other:
        error = "'" + line.text + "' is not a KEY=VALUE line";
        break;
      case Kind::Value:
        if (ReadValue(line, saved.settings, error)) continue;
        break;
    }
    error = path + ":" + std::to_string(line.number) + ": " + error;
    return std::nullopt;
  }
  return saved;
}

}  // namespace pagewire::cli
