#include "job/pdf_print_settings.h"

#include <cstring>
#include <optional>

#include "settings/saved_settings_bits.h"

namespace pagewire::job {
namespace {

using platform::RegAccess;
using settings::PackCopies;
using settings::PackPages;
using settings::PackPrintMode;
using platform::RegKey;
using platform::kRegSuccess;

std::optional<std::uint32_t> ReadDword(platform::Registry& registry, RegKey key,
                                       const std::string& name) {
  std::uint8_t data[4] = {};
  std::uint32_t size = sizeof data;
  if (registry.QueryValue(key, name, nullptr, data, size) != kRegSuccess) return std::nullopt;
  std::uint32_t value = 0;
  std::memcpy(&value, data, sizeof value);  // REG_DWORD is little-endian, as the host
  return value;
}

platform::RegResult WriteDword(platform::Registry& registry, RegKey key,
                               const std::string& name, std::uint32_t value) {
  std::uint8_t data[4];
  std::memcpy(data, &value, sizeof data);
  return registry.SetValue(key, name, platform::kRegDword, data, sizeof data);
}

}  // namespace

std::string SavedSettingsKey(const std::string& applicationName) {
  return "SOFTWARE\\Orvelle\\Pagewire\\" + applicationName;
}

PdfPrintSettings::PdfPrintSettings(platform::Registry& registry, std::string applicationName)
    : registry_(registry), key_(SavedSettingsKey(applicationName)) {}

void PdfPrintSettings::LoadSavedSettings() {
  platform::ScopedRegKey key(registry_);
  if (registry_.OpenKey(key_, RegAccess::AllAccess, key.Out()) != kRegSuccess) {
    key.Out() = 0;
    saveSettings = 0;
    TestKeyCreation();
    return;
  }
  saveSettings = 1;
  LoadValues(key.Get());
}

void PdfPrintSettings::LoadValues(RegKey key) {
  if (auto printMode = ReadDword(registry_, key, "PrintMode")) {
    settings::UnpackPrintMode(*printMode, settings);
  }
  if (auto copies = ReadDword(registry_, key, "Copies")) settings::UnpackCopies(*copies, settings);
  if (auto pages = ReadDword(registry_, key, "Pages")) {
    TestWriteAccess(key, *pages);
    settings::UnpackPages(*pages, settings);
  }
}

void PdfPrintSettings::TestWriteAccess(RegKey key, std::uint32_t pages) {
  settingsReadOnly = WriteDword(registry_, key, "Pages", pages) == kRegSuccess ? 0 : 1;
}

void PdfPrintSettings::TestKeyCreation() {
  platform::ScopedRegKey key(registry_);
  if (registry_.CreateKey(key_, RegAccess::AllAccess, key.Out()) != kRegSuccess) {
    key.Out() = 0;
    settingsReadOnly = 1;
    return;
  }
  settingsReadOnly = 0;
  registry_.CloseKey(key.Get());
  key.Out() = 0;
  registry_.DeleteKey(key_);
}

bool PdfPrintSettings::SaveSettings() {
  platform::ScopedRegKey key(registry_);
  if (registry_.CreateKey(key_, RegAccess::AllAccess, key.Out()) != kRegSuccess) {
    key.Out() = 0;
    return false;
  }
  const bool printMode =
      WriteDword(registry_, key.Get(), "PrintMode", PackPrintMode(settings)) == kRegSuccess;
  const bool copies = WriteDword(registry_, key.Get(), "Copies", PackCopies(settings)) == kRegSuccess;
  const bool pages = WriteDword(registry_, key.Get(), "Pages", PackPages(settings)) == kRegSuccess;
  return printMode && copies && pages;
}

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
    registry_.DeleteKey(key_);
  }
  return result;
}

}  // namespace pagewire::job
