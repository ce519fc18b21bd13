#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace pagewire::platform::win32 {

namespace {

// HKLM\SOFTWARE is read in its 32-bit view (WOW6432Node on 64-bit Windows),
// where the program's settings have always lived: a 32-bit build wrote them
// there, and the installer opens that key to standard users. Keys outside
// SOFTWARE (the port monitors) are the same in both views.
constexpr REGSAM kView = KEY_WOW64_32KEY;

REGSAM SamOf(RegAccess access) {
  return (access == RegAccess::Read ? KEY_READ : KEY_ALL_ACCESS) | kView;
}
HKEY HkeyOf(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

RegResult Win32Registry::OpenKey(const std::string& subKey, RegAccess access, RegKey& key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, SamOf(access), &opened);
  key = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
  return result;
}

RegResult Win32Registry::CreateKey(const std::string& subKey, RegAccess access, RegKey& key) {
  HKEY created = nullptr;
  const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, SamOf(access), nullptr, &created,
                                      nullptr);
  key = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(created) : 0;
  return result;
}

RegResult Win32Registry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t& size) {
  DWORD valueType = 0;
  DWORD room = size;
  const LONG result = RegQueryValueExA(HkeyOf(key), name.c_str(), nullptr, &valueType, data, &room);
  size = room;
  if (type != nullptr) *type = valueType;
  return result;
}

RegResult Win32Registry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExA(HkeyOf(key), name.c_str(), 0, type, data, size);
}

RegResult Win32Registry::DeleteKey(const std::string& subKey) {
  return RegDeleteKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), kView, 0);
}

void Win32Registry::CloseKey(RegKey key) {
  if (key != 0) RegCloseKey(HkeyOf(key));
}

}  // namespace pagewire::platform::win32
