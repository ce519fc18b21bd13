// Installer helper: gives the local Users group (well-known SID S-1-5-32-545,
// never a localised name) full control of the program's registry key,
// inherited by its subkeys, so that standard users can save settings.
//   pagewire-keyaccess grant   creates the key when missing; exit 0 on success
//   pagewire-keyaccess show    prints the key's DACL as SDDL
// The key is in the 32-bit view of HKLM\SOFTWARE, as the program reads it.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Orvelle\\Pagewire";
constexpr REGSAM kView = KEY_WOW64_32KEY;

// Adds the Users ACE to the key's DACL (an ACE already there is merged).
DWORD GrantUsers(HKEY key, PSID users) {
  PACL oldDacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD rc = GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                             &oldDacl, nullptr, &descriptor);
  if (rc != ERROR_SUCCESS) return rc;
  EXPLICIT_ACCESSW access{};
  access.grfAccessPermissions = KEY_ALL_ACCESS;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = static_cast<LPWSTR>(users);
  PACL newDacl = nullptr;
  rc = SetEntriesInAclW(1, &access, oldDacl, &newDacl);
  if (rc == ERROR_SUCCESS) {
    rc = SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                         newDacl, nullptr);
    LocalFree(newDacl);
  }
  LocalFree(descriptor);
  return rc;
}

// SetSecurityInfo does not pass inheritance down to keys that exist
// already (saved settings of an earlier install): they get the ACE too.
DWORD GrantSubkeys(HKEY key, PSID users) {
  std::vector<std::wstring> names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  for (const std::wstring& subName : names) {
    HKEY sub = nullptr;
    DWORD rc = RegOpenKeyExW(key, subName.c_str(), 0, READ_CONTROL | WRITE_DAC | kView, &sub);
    if (rc == ERROR_SUCCESS) {
      rc = GrantUsers(sub, users);
      RegCloseKey(sub);
    }
    if (rc != ERROR_SUCCESS) return rc;
  }
  return ERROR_SUCCESS;
}

int Grant() {
  HKEY key = nullptr;
  DWORD rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             READ_CONTROL | WRITE_DAC | KEY_ENUMERATE_SUB_KEYS | kView, nullptr,
                             &key, nullptr);
  if (rc != ERROR_SUCCESS) {
    std::fprintf(stderr, "cannot create the key (error %lu)\n", rc);
    return 1;
  }
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID users = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0,
                                0, 0, 0, 0, &users)) {
    RegCloseKey(key);
    return 1;
  }
  rc = GrantUsers(key, users);
  if (rc == ERROR_SUCCESS) rc = GrantSubkeys(key, users);
  FreeSid(users);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) std::fprintf(stderr, "cannot set the key's access (error %lu)\n", rc);
  return rc == ERROR_SUCCESS ? 0 : 1;
}

int Show() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, READ_CONTROL | kView, &key) != ERROR_SUCCESS) {
    std::fprintf(stderr, "no key\n");
    return 1;
  }
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  LPWSTR text = nullptr;
  const bool ok =
      GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                      nullptr, &descriptor) == ERROR_SUCCESS &&
      ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                           DACL_SECURITY_INFORMATION, &text,
                                                           nullptr);
  if (ok) std::printf("%ls\n", text);
  LocalFree(text);
  LocalFree(descriptor);
  RegCloseKey(key);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "grant") == 0) return Grant();
  if (argc == 2 && std::strcmp(argv[1], "show") == 0) return Show();
  std::fprintf(stderr, "usage: pagewire-keyaccess grant|show\n");
  return 2;
}
