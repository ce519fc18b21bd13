// The registry behind the Windows settings store, under Wine: the keys,
// value names, types and bit packing that pagewire.exe keeps, and the paths
// that the Wine scenarios cannot reach (a key that can only be read, a port
// value too large for its room, the rows of older Windows versions).
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_settings_store.h"

namespace pagewire::platform::win32 {
namespace {

using Settings = settings::PrintJobSettings;
using settings::MacAddress;
using Value = std::pair<DWORD, std::vector<BYTE>>;  // type and bytes

const std::string kProgramKey = "SOFTWARE\\Orvelle\\Pagewire\\";
const std::string kMonitors = "System\\CurrentControlSet\\Control\\Print\\Monitors\\";
constexpr REGSAM kView = KEY_WOW64_32KEY;

// Keys and values named after the application are this test's own.
std::string TestApplication() { return "store-test-" + std::to_string(GetCurrentProcessId()); }

bool KeyExists(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | kView, &opened) != 0) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

std::optional<Value> ValueOf(const std::string& key, const std::string& name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | kView, &opened) != 0) {
    return std::nullopt;
  }
  BYTE data[256];
  DWORD size = sizeof data;
  DWORD type = 0;
  const LONG result = RegQueryValueExA(opened, name.c_str(), nullptr, &type, data, &size);
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return Value{type, std::vector<BYTE>(data, data + size)};
}

void DeleteValue(const std::string& key, const char* name) {
  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | kView, &opened), 0);
  EXPECT_EQ(RegDeleteValueA(opened, name), ERROR_SUCCESS);
  RegCloseKey(opened);
}

Value Dword(std::uint32_t value) {
  return {REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}};
}

// Sets `key`'s access list from SDDL text; false when Wine refuses.
bool SetAccess(const std::string& key, const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return false;
  }
  HKEY opened = nullptr;
  bool set = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, WRITE_DAC | kView, &opened) == 0;
  if (set) {
    set = RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    RegCloseKey(opened);
  }
  LocalFree(descriptor);
  return set;
}

TEST(Win32SettingsStore, PrintSettingsAreThreePackedDwordsAndTheProbeLeavesNoKey) {
  const std::string application = TestApplication();
  const std::string key = kProgramKey + application;
  Win32SettingsStore store(application);
  store.ForgetPrintSettings();
  const SavedPrintSettings none = store.LoadPrintSettings(Settings{});
  EXPECT_EQ(none.settings, std::nullopt);
  EXPECT_TRUE(none.canSave);
  EXPECT_FALSE(KeyExists(key)) << "the write probe left its key";

  // "Auto", "High Quality", "Printer Settings", "Long Edge Flip"; 2 copies,
  // "2 up", "Black", collated; all pages, 5 to 9 in the fields.
  using namespace settings;
  const Settings chosen{false, false, PaperType::PrinterSettings, 2, PaperSize::Auto,
                        Duplex::LongEdge, PrintMode::HighQuality, 5, 9, OutputColor::Black,
                        Layout::TwoUp, Collation::Collated};
  ASSERT_TRUE(store.SavePrintSettings(chosen));
  EXPECT_EQ(ValueOf(key, "PrintMode"), Dword(0x01020101u));
  EXPECT_EQ(ValueOf(key, "Copies"), Dword((1u << 30) + (1u << 29) + 3u * 65536u + 2u));
  EXPECT_EQ(ValueOf(key, "Pages"), Dword(9u * 65536u + 5u + 32768u));
  const SavedPrintSettings loaded = store.LoadPrintSettings(Settings{});
  EXPECT_EQ(loaded.settings, chosen);
  EXPECT_TRUE(loaded.canSave);

  // A missing value keeps its fields' defaults.
  DeleteValue(key, "Pages");
  Settings expected = chosen;
  expected.selectPages = true;
  expected.fromPage = expected.toPage = 3;
  EXPECT_EQ(store.LoadPrintSettings(Settings{.selectPages = true, .fromPage = 3, .toPage = 3}).settings,
            expected);
  store.ForgetPrintSettings();
  EXPECT_FALSE(KeyExists(key));
}

TEST(Win32SettingsStore, AKeyThatCanOnlyBeReadIsNotUsedAndCannotSave) {
  const std::string application = TestApplication() + "-read-only";
  const std::string key = kProgramKey + application;
  Win32SettingsStore store(application);
  ASSERT_TRUE(store.SavePrintSettings(Settings{.copies = 5}));
  ASSERT_TRUE(SetAccess(key, "D:P(A;;KR;;;WD)"));
  const SavedPrintSettings saved = store.LoadPrintSettings(Settings{});
  EXPECT_EQ(saved.settings, std::nullopt);
  EXPECT_FALSE(saved.canSave);
  EXPECT_FALSE(store.SavePrintSettings(Settings{}));
  EXPECT_EQ(ValueOf(key, "Copies"), Dword(5));
  // Wine keeps the access list only while its server runs; the key's name
  // is this process's own.
  if (SetAccess(key, "D:P(A;;KA;;;WD)")) store.ForgetPrintSettings();
}

TEST(Win32SettingsStore, MacAddressIsABinaryValueNamedAfterTheApplication) {
  const std::string application = TestApplication();
  const std::string key = kProgramKey + "MacAddr";
  Win32SettingsStore store(application);
  store.ForgetMacAddress();
  EXPECT_EQ(store.LoadMacAddress(), std::nullopt);
  EXPECT_TRUE(KeyExists(key)) << "reading makes the key, empty";
  const MacAddress mac = {0x00, 0x1B, 0xC0, 0xFF, 0x07, 0x5A};
  store.SaveMacAddress(mac);
  EXPECT_EQ(ValueOf(key, application), (Value{REG_BINARY, {0x00, 0x1B, 0xC0, 0xFF, 0x07, 0x5A}}));
  EXPECT_EQ(store.LoadMacAddress(), mac);
  store.ForgetMacAddress();
  EXPECT_FALSE(KeyExists(key));
}

TEST(Win32SettingsStore, APortValueTooLargeForItsRoomIsNoAddress) {
  // Wine reports the NT family from version 5: the Standard TCP/IP row.
  const std::string port = TestApplication();
  const std::string key = kMonitors + "Standard TCP/IP Port\\Ports\\" + port;
  const std::string large(200, 'a');
  ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "IPAddress", REG_SZ, large.c_str(),
                            static_cast<DWORD>(large.size() + 1)),
            ERROR_SUCCESS);
  Win32SettingsStore store("pagewire");
  EXPECT_FALSE(store.PortHasAddress(port));
  ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "IPAddress", REG_SZ, "10.0.0.7", 9),
            ERROR_SUCCESS);
  EXPECT_TRUE(store.PortHasAddress(port));
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), kView, 0);
}

TEST(PortAddressQueryFor, TakesTheMonitorOfTheWindowsVersion) {
  const struct {
    DWORD platformId, majorVersion;
    std::string key;
    std::vector<std::string> valueNames;
  } cases[] = {
      {VER_PLATFORM_WIN32_WINDOWS, 4, kMonitors + "OV TCP/IP DPU Port\\Ports", {"IP_1"}},
      {VER_PLATFORM_WIN32_NT, 4, kMonitors + "LPR Port\\Ports\\IP_1", {"Server Name"}},
      {VER_PLATFORM_WIN32_NT, 5, kMonitors + "Standard TCP/IP Port\\Ports\\IP_1",
       {"IPAddress", "HostName"}},
      {VER_PLATFORM_WIN32_NT, 10, kMonitors + "Standard TCP/IP Port\\Ports\\IP_1",
       {"IPAddress", "HostName"}},
  };
  for (const auto& c : cases) {
    const PortAddressQuery query = PortAddressQueryFor(c.platformId, c.majorVersion, "IP_1");
    EXPECT_EQ(query.key, c.key) << c.platformId << " " << c.majorVersion;
    EXPECT_EQ(query.valueNames, c.valueNames) << c.platformId << " " << c.majorVersion;
  }
}

}  // namespace
}  // namespace pagewire::platform::win32
