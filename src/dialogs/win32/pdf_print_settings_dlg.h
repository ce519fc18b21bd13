// "PDF File Print" (template 150): moves the command's settings into the
// controls and the controls' state into PdfPrintSettings, and applies the
// enabling rules.
#pragma once

#include "dialogs/pdf_print_settings.h"
#include "dialogs/settings_rules.h"
#include "settings/setting_tables.h"
#include "platform/win32/dialog_base.h"

namespace pagewire::dialogs::win32 {

class PdfPrintSettingsDlg : public platform::win32::DialogBase {
 public:
  explicit PdfPrintSettingsDlg(PdfPrintSettings& settings);

 protected:
  bool OnInit() override;
  void OnOK() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void FillLists();
  template <typename Value>
  void FillList(int id, const settings::Setting<Value>& setting, Value value);
  void CreateTooltips();
  // The enabling rules for the controls' current state.
  void ApplyEnabling();
  SettingsForm ReadForm() const;

  PdfPrintSettings& settings_;
};

}  // namespace pagewire::dialogs::win32
