#include "dialogs/password_entry.h"

namespace pagewire::dialogs {

using job::PasswordEntry;
using settings::MacAddress;

namespace {

constexpr std::size_t kMacFieldChars = 2;

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One field: none when malformed; an empty field is well formed.
std::optional<std::optional<std::uint8_t>> ParseMacField(const std::string& text) {
  if (text.empty()) return std::optional<std::uint8_t>{};
  if (text.size() != kMacFieldChars) return std::nullopt;
  const int high = HexDigitValue(text[0]);
  const int low = HexDigitValue(text[1]);
  if (high < 0 || low < 0) return std::nullopt;
  return std::optional<std::uint8_t>(static_cast<std::uint8_t>(high * 16 + low));
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
