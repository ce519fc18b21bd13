// "Enter Password" (template 139): one run over the entry the print command
// keeps for a file, with the printer's MAC address in a details area that
// "Detailed " shows.
#pragma once

#include <string>
#include <vector>

#include "dialogs/password_entry.h"
#include "platform/win32/dialog_base.h"

namespace pagewire::dialogs::win32 {

class PasswordDlg : public platform::win32::DialogBase {
 public:
  PasswordDlg(job::PasswordEntry& entry, platform::SettingsStore& store);

 protected:
  bool OnInit() override;
  void OnOK() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void CreateTooltips();
  // The window's height hides the details area, or shows it with 20 pixels
  // below it.
  void ShowDetails(bool expanded);
  // The address fields in tab order from the first, at most six; the walk
  // ends early when there is no next tab item.
  std::vector<HWND> AddressFields() const;

  job::PasswordEntry& entry_;
  platform::SettingsStore& store_;
};

}  // namespace pagewire::dialogs::win32
