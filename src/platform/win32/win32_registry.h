// Registry port over the Win32 registry, always under HKEY_LOCAL_MACHINE.
#pragma once

#include "platform/registry.h"

namespace pagewire::platform::win32 {

class Win32Registry : public Registry {
 public:
  RegResult OpenKey(const std::string& subKey, RegAccess access, RegKey& key) override;
  RegResult CreateKey(const std::string& subKey, RegAccess access, RegKey& key) override;
  RegResult QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t& size) override;
  RegResult SetValue(RegKey key, const std::string& name, std::uint32_t type,
                     const std::uint8_t* data, std::uint32_t size) override;
  RegResult DeleteKey(const std::string& subKey) override;
  void CloseKey(RegKey key) override;
};

}  // namespace pagewire::platform::win32
