#include "job/pdf_print_settings.h"

#include <utility>

namespace pagewire::job {

PdfPrintSettings::PdfPrintSettings(platform::SettingsStore& store) : store_(store) {}

void PdfPrintSettings::LoadSavedSettings() {
  const platform::SavedPrintSettings saved = store_.LoadPrintSettings(settings);
  if (saved.settings) settings = *saved.settings;
  saveSettings = saved.settings.has_value();
  settingsReadOnly = !saved.canSave;
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
        platform::ValidateNumberField(*text, settings::kMinNumber, settings::kMaxNumber);
    if (verdict.stored) *member = *verdict.stored;
    if (!verdict.ok()) return SettingsOkResult{false, field, std::move(verdict)};
  }
  saveSettings = form.saveSettings;
  return SettingsOkResult{};
}

SettingsOkResult PdfPrintSettings::Ok(const SettingsForm& form) {
  SettingsOkResult result = ExchangeNumbers(form);
  settings.duplexMode = static_cast<settings::Duplex>(form.duplexMode);
  settings.paperType = static_cast<settings::PaperType>(form.paperType);
  settings.printMode = static_cast<settings::PrintMode>(form.printMode);
  settings.paperSize = static_cast<settings::PaperSize>(form.paperSize);
  settings.layout = static_cast<settings::Layout>(form.layout);
  settings.outputColor = static_cast<settings::OutputColor>(form.outputColor);
  settings.selectPages = !form.allPages;
  settings.toLastPage = form.toLastPage;
  settings.collate = form.collate ? settings::Collation::Collated : settings::Collation::Off;
  if (form.saveSettings) {
    SaveSettings();
  } else {
    store_.ForgetPrintSettings();
  }
  return result;
}

}  // namespace pagewire::job
