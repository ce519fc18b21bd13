// Registry port: keys and values under HKEY_LOCAL_MACHINE only (SOFTWARE in
// its 32-bit view; see win32_registry.cpp).
//
// Each call maps to one Win32 call and returns its result code unchanged
// (kRegSuccess, or a Win32 error code such as 2 or 5). Method names avoid the
// Win32 A/W macro names so that <windows.h> cannot rename them.
#pragma once

#include <cstdint>
#include <string>

namespace pagewire::platform {

using RegResult = long;
inline constexpr RegResult kRegSuccess = 0;         // ERROR_SUCCESS
inline constexpr RegResult kRegFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
inline constexpr RegResult kRegAccessDenied = 5;    // ERROR_ACCESS_DENIED
inline constexpr RegResult kRegMoreData = 234;      // ERROR_MORE_DATA

inline constexpr std::uint32_t kRegBinary = 3;  // REG_BINARY
inline constexpr std::uint32_t kRegDword = 4;   // REG_DWORD

enum class RegAccess { Read, AllAccess };  // KEY_READ, KEY_ALL_ACCESS

// An open key; 0 is no key. Opaque to the logic.
using RegKey = std::uintptr_t;

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, access, &key).
  virtual RegResult OpenKey(const std::string& subKey, RegAccess access, RegKey& key) = 0;
  // RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, no class,
  // REG_OPTION_NON_VOLATILE, access, no security, &key, no disposition).
  virtual RegResult CreateKey(const std::string& subKey, RegAccess access, RegKey& key) = 0;
  // RegQueryValueExA(key, name, 0, &type, data, &size). `size` holds the
  // room at `data` on entry and the value's size on return; `type` may be
  // null. A value larger than the room gives kRegMoreData.
  virtual RegResult QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t& size) = 0;
  // RegSetValueExA(key, name, 0, type, data, size).
  virtual RegResult SetValue(RegKey key, const std::string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) = 0;
  // RegDeleteKeyExA(HKEY_LOCAL_MACHINE, subKey, the view, 0).
  virtual RegResult DeleteKey(const std::string& subKey) = 0;
  // RegCloseKey(key).
  virtual void CloseKey(RegKey key) = 0;
};

// Closes its key when it goes out of scope.
class ScopedRegKey {
 public:
  explicit ScopedRegKey(Registry& registry) : registry_(registry) {}
  ~ScopedRegKey() {
    if (key_ != 0) registry_.CloseKey(key_);
  }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  RegKey& Out() { return key_; }
  RegKey Get() const { return key_; }

 private:
  Registry& registry_;
  RegKey key_ = 0;
};

}  // namespace pagewire::platform
