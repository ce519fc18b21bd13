#include "platform/win32/win32_settings_store.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <utility>

#include "settings/saved_settings_bits.h"

namespace pagewire::platform::win32 {
namespace {

// HKLM\SOFTWARE is read in its 32-bit view (WOW6432Node on 64-bit Windows),
// where the program's settings have always lived: a 32-bit build wrote them
// there, and the installer opens that key to standard users. Keys outside
// SOFTWARE (the port monitors) are the same in both views.
constexpr REGSAM kView = KEY_WOW64_32KEY;

constexpr const char* kProgramKey = "SOFTWARE\\Orvelle\\Pagewire\\";
constexpr const char* kMacAddrKey = "SOFTWARE\\Orvelle\\Pagewire\\MacAddr";
constexpr const char* kShowDragDlgKey = "SOFTWARE\\Orvelle\\Pagewire\\ShowDragDlg";
constexpr const char* kMonitorsKey = "System\\CurrentControlSet\\Control\\Print\\Monitors";
// A port monitor's value is read into this room; a larger one fails.
constexpr DWORD kPortValueRoom = 128;

// An HKEY_LOCAL_MACHINE key, closed when it goes.
class Key {
 public:
  Key() = default;
  ~Key() { Close(); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool Open(const char* path, REGSAM access) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access | kView, &opened) != ERROR_SUCCESS) {
      return false;
    }
    key_ = opened;
    return true;
  }
  // Creates the key when missing (non-volatile), with full access.
  bool Create(const char* path) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | kView, nullptr, &created, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    key_ = created;
    return true;
  }
  void Close() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }
  // `size` holds the room on entry and the value's size on return.
  bool Query(const char* name, BYTE* data, DWORD& size) {
    DWORD type = 0;
    return RegQueryValueExA(key_, name, nullptr, &type, data, &size) == ERROR_SUCCESS;
  }
  bool Set(const char* name, DWORD type, const BYTE* data, DWORD size) {
    return RegSetValueExA(key_, name, 0, type, data, size) == ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
};

void DeleteKey(const char* path) { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, kView, 0); }

std::optional<std::uint32_t> ReadDword(Key& key, const char* name) {
  BYTE data[4] = {};
  DWORD size = sizeof data;
  if (!key.Query(name, data, size)) return std::nullopt;
  std::uint32_t value = 0;
  std::memcpy(&value, data, sizeof value);  // REG_DWORD is little-endian, as the host
  return value;
}

bool WriteDword(Key& key, const char* name, std::uint32_t value) {
  BYTE data[4];
  std::memcpy(data, &value, sizeof data);
  return key.Set(name, REG_DWORD, data, sizeof data);
}

std::pair<DWORD, DWORD> WindowsVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return {VER_PLATFORM_WIN32_NT, 5};
#pragma GCC diagnostic pop
  return {info.dwPlatformId, info.dwMajorVersion};
}

}  // namespace

PortAddressQuery PortAddressQueryFor(std::uint32_t platformId, std::uint32_t majorVersion,
                                     const std::string& portName) {
  const std::string monitors = kMonitorsKey;
  if (platformId == VER_PLATFORM_WIN32_WINDOWS) {
    return {monitors + "\\OV TCP/IP DPU Port\\Ports", {portName}};
  }
  if (majorVersion >= 5) {
    return {monitors + "\\Standard TCP/IP Port\\Ports\\" + portName, {"IPAddress", "HostName"}};
  }
  return {monitors + "\\LPR Port\\Ports\\" + portName, {"Server Name"}};
}

Win32SettingsStore::Win32SettingsStore(std::string applicationName)
    : applicationName_(std::move(applicationName)),
      settingsKey_(kProgramKey + applicationName_) {}

SavedPrintSettings Win32SettingsStore::LoadPrintSettings(
    const settings::PrintJobSettings& defaults) {
  SavedPrintSettings saved;
  Key key;
  if (!key.Open(settingsKey_.c_str(), KEY_ALL_ACCESS)) {
    // Whether the key could be made: made and deleted again at once.
    saved.canSave = key.Create(settingsKey_.c_str());
    if (saved.canSave) {
      key.Close();
      DeleteKey(settingsKey_.c_str());
    }
    return saved;
  }
  settings::PrintJobSettings s = defaults;
  saved.canSave = true;
  if (const auto printMode = ReadDword(key, "PrintMode")) settings::UnpackPrintMode(*printMode, s);
  if (const auto copies = ReadDword(key, "Copies")) settings::UnpackCopies(*copies, s);
  if (const auto pages = ReadDword(key, "Pages")) {
    // Writing the value back tells whether the key can be written.
    saved.canSave = WriteDword(key, "Pages", *pages);
    settings::UnpackPages(*pages, s);
  }
  saved.settings = s;
  return saved;
}

bool Win32SettingsStore::SavePrintSettings(const settings::PrintJobSettings& settings) {
  Key key;
  if (!key.Create(settingsKey_.c_str())) return false;
  const bool printMode = WriteDword(key, "PrintMode", settings::PackPrintMode(settings));
  const bool copies = WriteDword(key, "Copies", settings::PackCopies(settings));
  const bool pages = WriteDword(key, "Pages", settings::PackPages(settings));
  return printMode && copies && pages;
}

void Win32SettingsStore::ForgetPrintSettings() { DeleteKey(settingsKey_.c_str()); }

std::optional<settings::MacAddress> Win32SettingsStore::LoadMacAddress() {
  // A missing key is made, empty.
  Key key;
  if (!key.Create(kMacAddrKey)) return std::nullopt;
  settings::MacAddress address{};
  DWORD size = static_cast<DWORD>(address.size());
  if (!key.Query(applicationName_.c_str(), address.data(), size)) return std::nullopt;
  return address;
}

void Win32SettingsStore::SaveMacAddress(const settings::MacAddress& address) {
  Key key;
  if (!key.Create(kMacAddrKey)) return;
  key.Set(applicationName_.c_str(), REG_BINARY, address.data(),
          static_cast<DWORD>(address.size()));
}

void Win32SettingsStore::ForgetMacAddress() { DeleteKey(kMacAddrKey); }

bool Win32SettingsStore::SkipsConfirmation() {
  Key key;
  return key.Open(kShowDragDlgKey, KEY_READ);
}

bool Win32SettingsStore::MarkSkipConfirmation() {
  Key key;
  return key.Create(kShowDragDlgKey);
}

void Win32SettingsStore::ClearSkipConfirmation() { DeleteKey(kShowDragDlgKey); }

bool Win32SettingsStore::PortHasAddress(const std::string& portName) {
  const auto [platformId, majorVersion] = WindowsVersion();
  const PortAddressQuery query = PortAddressQueryFor(platformId, majorVersion, portName);
  Key key;
  if (!key.Open(query.key.c_str(), KEY_READ)) return false;
  std::array<BYTE, kPortValueRoom> buffer{};
  for (const std::string& name : query.valueNames) {
    DWORD size = kPortValueRoom;
    const bool read = key.Query(name.c_str(), buffer.data(), size);
    if (read && buffer[0] != 0) return true;
    // A query that failed yet left data decides: no address. An empty or
    // missing value lets the next name be asked.
    if (buffer[0] != 0) return false;
  }
  return false;
}

}  // namespace pagewire::platform::win32
