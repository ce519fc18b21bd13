#include "dialogs/password_entry.h"

#include "settings/setting_text.h"

namespace pagewire::dialogs {

using job::PasswordEntry;
using settings::MacAddress;

namespace {

// One field: none when malformed; an empty field is well formed.
std::optional<std::optional<std::uint8_t>> ParseMacField(const std::string& text) {
  if (text.empty()) return std::optional<std::uint8_t>{};
  const auto byte = settings::ParseHexByte(text);
  if (!byte) return std::nullopt;
  return std::optional<std::uint8_t>(*byte);
}

}  // namespace

std::vector<std::string> MacFieldTexts(const MacAddress& address) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::vector<std::string> texts;
  for (std::uint8_t byte : address) texts.push_back({kDigits[byte >> 4], kDigits[byte & 15]});
  return texts;
}

bool ApplyMacFields(const std::vector<std::string>& fieldTexts, platform::SettingsStore& store,
                    PasswordEntry& entry) {
  if (fieldTexts.size() < kMacFieldCount) return false;
  MacAddress address{};
  bool complete = true;
  for (std::size_t i = 0; i < kMacFieldCount; ++i) {
    const auto field = ParseMacField(fieldTexts[i]);
    if (!field) return false;
    if (*field) address[i] = **field;
    else complete = false;
  }
  if (complete) {
    store.SaveMacAddress(address);
    entry.macAddress = address;
  } else {
    store.ForgetMacAddress();
    entry.macAddress.reset();
  }
  return true;
}

}  // namespace pagewire::dialogs
