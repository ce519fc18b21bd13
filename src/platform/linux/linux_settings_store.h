// Settings store over a text file of `key=value` lines, for the pagewire
// command. The keys and words are those of the command's options:
//
//   # pagewire: the settings kept by --save
//   copies=2
//   collate=true
//   sides=two-sided-long-edge
//   media=A4
//   media-type=plain
//   print-color-mode=monochrome
//   print-quality=high
//   layout=2up
//   pages=2-5              (all, FROM-TO or FROM-)
//   mac=00:1b:c0:ff:07:5a
//
// Blanks around keys and values are ignored, words compare without regard to
// letter case, and lines starting with '#' are comments. A line that is not
// understood is skipped, and kept as it is when the file is written again;
// the command checks every line first (cli/saved_settings.h).
// The bit-packed values of the file's earlier form (`PrintMode=dword:...`
// and so on) are read as well, and dropped by the next save.
//
// Reading never writes. A file larger than 1 MiB, not a regular file or not
// readable is taken as empty, and never written. A change takes an exclusive
// lock on the folder, reads the file again, applies itself and writes the
// result through a temporary file in the same folder, fsync and rename,
// keeping the old file's mode (0600 for a new one), so that two commands
// that change it at once keep each other's values. The folder is made with
// mode 0700 on the first write; a symbolic link to the file is followed.
//
// The command has no direct launch and no port monitors: nothing marks the
// confirmation as skipped, and no port has a recorded address.
#pragma once

#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace pagewire::platform {

// A line of the settings file that holds something; comments and blank
// lines are left out.
struct SettingsFileLine {
  enum class Kind { Value, EarlierForm, Other };
  int number = 0;  // from 1
  Kind kind = Kind::Other;
  std::string text;        // blanks around it trimmed
  std::string key, value;  // of a `key=value` line (Value)
};

class LinuxSettingsStore : public SettingsStore {
 public:
  explicit LinuxSettingsStore(std::string path);

  SavedPrintSettings LoadPrintSettings(const settings::PrintJobSettings& defaults) override;
  bool SavePrintSettings(const settings::PrintJobSettings& settings) override;
  void ForgetPrintSettings() override;
  std::optional<settings::MacAddress> LoadMacAddress() override;
  void SaveMacAddress(const settings::MacAddress& address) override;
  void ForgetMacAddress() override;
  bool SkipsConfirmation() override { return false; }
  bool MarkSkipConfirmation() override { return false; }
  void ClearSkipConfirmation() override {}
  bool PortHasAddress(const std::string&) override { return false; }

  // The file's lines, for the command to check each value; none for a file
  // that is taken as empty.
  std::vector<SettingsFileLine> FileLines() const;
  // Keeps exactly `lines` ("copies=2", "media=letter", ...) as the print
  // settings: every other print setting line goes, the earlier form's too.
  bool SaveSettingLines(const std::vector<std::string>& lines);

 private:
  std::string path_;
};

// $XDG_CONFIG_HOME/pagewire/settings when XDG_CONFIG_HOME is an absolute
// path, else ~/.config/pagewire/settings ($HOME, else the password database);
// empty when no home folder is known, which makes a store that keeps nothing.
std::string DefaultSettingsPath();

}  // namespace pagewire::platform
