// Registry port over a text settings file, for the pagewire command.
//
// The file holds registry keys as sections and typed values as lines:
//
//   # Pagewire settings
//   [SOFTWARE\Orvelle\Pagewire\pagewire]
//   PrintMode=dword:00010002
//   Copies=dword:40000001
//
//   [SOFTWARE\Orvelle\Pagewire\MacAddr]
//   pagewire=hex:00,11,22,aa,bb,cc
//
// Values are `Name=dword:XXXXXXXX` (REG_DWORD, eight hex digits, the number
// as written), `Name=hex:bb,bb,...` (REG_BINARY) or `Name=hex(T):bb,...`
// (any other type T, in hex). Key and value names compare without regard to
// ASCII letter case, as in the registry; blanks around names and values are
// ignored. A key exists when it has a section or a key below it has one.
// Lines starting with '#' or ';' are comments.
//
// Reading never fails: a missing file is an empty store. A line that does not
// parse (or a section with a bad name and its lines) is skipped, yet kept
// verbatim, with the comments, when the file is written again. A repeated
// section continues the first; a repeated value replaces the earlier one.
// A file that is larger than 1 MiB, is not a regular file or cannot be read
// is taken as an empty store and read-only, so that it is never overwritten.
//
// Every call reads the file afresh, and only a change writes it: a query, an
// open, or a value set to what it holds leaves the file (and its folder) as
// they are. A key made by CreateKey lives in this instance until a value is
// set in it, so that a write-access probe that creates and deletes a key
// writes nothing, and its delete cannot remove a key another command saved
// meanwhile. A change (SetValue, DeleteKey) takes an exclusive lock on the
// folder, reads the file again, applies itself and writes the result through
// a temporary file in the same folder, fsync and rename, keeping the old
// file's mode (0600 for a new one): two commands that change it at once keep
// each other's values. The folder is created with mode 0700 on the first
// write. A symbolic link to the file is followed, so the link stays.
//
// Result codes are those Win32 gives: kRegFileNotFound for a missing key or
// value; kRegAccessDenied for a change to a read-only store, for AllAccess to
// an existing key of one, and for deleting a key that has keys below it. The
// store is read-only when the file is, or its folder cannot be written to,
// or as above; a file with no write permission bit at all is read-only even
// to root. Any failure to write the file is kRegAccessDenied. Others:
// 6 (ERROR_INVALID_HANDLE) for a key not open, 87 (ERROR_INVALID_PARAMETER)
// for names the file cannot hold (an empty key path or part of one, control
// characters; for values also '=', a leading '#', ';' or '[', blanks at either
// end or an empty name) and for a change that would take the file past 1 MiB,
// 1018 (ERROR_KEY_DELETED) for an open key that has been deleted since.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace pagewire::platform {

class LinuxSettingsRegistry : public Registry {
 public:
  explicit LinuxSettingsRegistry(std::string path);

  RegResult OpenKey(const std::string& subKey, RegAccess access, RegKey& key) override;
  RegResult CreateKey(const std::string& subKey, RegAccess access, RegKey& key) override;
  RegResult QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t& size) override;
  RegResult SetValue(RegKey key, const std::string& name, std::uint32_t type,
                     const std::uint8_t* data, std::uint32_t size) override;
  RegResult DeleteKey(const std::string& subKey) override;
  void CloseKey(RegKey key) override;

 private:
  struct OpenKeyState {
    std::string path;
    RegAccess access;
  };
  RegKey Open(const std::string& subKey, RegAccess access);

  std::string path_;
  std::map<RegKey, OpenKeyState> open_;
  std::vector<std::string> created_;  // keys made here, without values yet
  RegKey next_ = 1;
};

// $XDG_CONFIG_HOME/pagewire/settings when XDG_CONFIG_HOME is an absolute
// path, else ~/.config/pagewire/settings ($HOME, else the password database);
// empty when no home folder is known, which makes an empty read-only store.
std::string DefaultSettingsPath();

}  // namespace pagewire::platform
