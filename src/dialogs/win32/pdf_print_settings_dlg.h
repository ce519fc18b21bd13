// "PDF File Print" (template 150): moves the command's settings into the
// controls and the controls' state into job::PdfPrintSettings, and applies
// the enabling rules.
#pragma once

#include "job/pdf_print_settings.h"
#include "dialogs/settings_rules.h"
#include "settings/setting_tables.h"
#include "platform/win32/dialog_base.h"

namespace pagewire::dialogs::win32 {

class PdfPrintSettingsDlg : public platform::win32::DialogBase {
 public:
  explicit PdfPrintSettingsDlg(job::PdfPrintSettings& settings);

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
  job::SettingsForm ReadForm() const;

  job::PdfPrintSettings& settings_;
};

}  // namespace pagewire::dialogs::win32
