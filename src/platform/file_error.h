// Causes of a failed file operation, numbered as the file-error messages
// and the "Error Code" of the output file box count them.
#pragma once

namespace pagewire::platform {

enum class FileErrorCause : int {
  None = 0,
  Generic = 1,
  FileNotFound = 2,
  BadPath = 3,
  TooManyOpenFiles = 4,
  AccessDenied = 5,
  InvalidFile = 6,
  RemoveCurrentDir = 7,
  DirectoryFull = 8,
  BadSeek = 9,
  HardIo = 10,
  SharingViolation = 11,
  LockViolation = 12,
  DiskFull = 13,
  EndOfFile = 14,
};

}  // namespace pagewire::platform
