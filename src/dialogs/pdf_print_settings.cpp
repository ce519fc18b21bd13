#include "dialogs/pdf_print_settings.h"

#include "dialogs/settings_rules.h"

namespace pagewire::dialogs {

PdfPrintSettings::PdfPrintSettings(platform::SettingsStore& store) : store_(store) {}

void PdfPrintSettings::LoadSavedSettings() {
  const platform::SavedPrintSettings saved = store_.LoadPrintSettings(settings);
  if (saved.settings) settings = *saved.settings;
  saveSettings = saved.settings ? 1 : 0;
  settingsReadOnly = saved.canSave ? 0 : 1;
}

bool PdfPrintSettings::SaveSettings() { return store_.SavePrintSettings(settings); }

SettingsOkResult PdfPrintSettings::ExchangeNumbers(const SettingsForm& form) {
  const std::pair<NumberField, std::pair<const std::string*, std::int32_t*>> fields[] = {
      {NumberField::FromPage, {&form.fromPage, &settings.fromPage}},
      {NumberField::ToPage, {&form.toPage, &settings.toPage}},
      {NumberField::Copies, {&form.copies, &settings.copies}},
  };
  for (const auto& [field, texts] : fields) {
    const auto& [text, member] = texts;
    platform::FieldVerdict verdict =
        platform::ValidateNumberField(*text, kNumberFieldMin, kNumberFieldMax);
    if (verdict.stored) *member = *verdict.stored;
    if (!verdict.ok()) return SettingsOkResult{false, field, std::move(verdict)};
  }
  saveSettings = form.saveSettings ? 1 : 0;
  return SettingsOkResult{};
}

SettingsOkResult PdfPrintSettings::Ok(const SettingsForm& form) {
  SettingsOkResult result = ExchangeNumbers(form);
  settings.duplexMode = form.duplexMode;
  settings.paperType = form.paperType;
  settings.printMode = form.printMode;
  settings.paperSize = form.paperSize;
  settings.layout = form.layout;
  settings.outputColor = form.outputColor;
  settings.selectPages = form.allPages ? 0 : 1;
  settings.toLastPage = form.toLastPage ? 1 : 0;
  settings.collate = form.collate ? 1 : 0;
  if (form.saveSettings) {
    SaveSettings();
  } else {
    store_.ForgetPrintSettings();
  }
  return result;
}

}  // namespace pagewire::dialogs
