#include "platform/win32/win32_error_cause.h"

#include <utility>

namespace pagewire::platform::win32 {

namespace {

using Cause = FileErrorCause;

// Win32 error codes (winerror.h) and the cause each one reports.
constexpr std::pair<std::uint32_t, Cause> kCauses[] = {
    {0, Cause::None},
    {2, Cause::FileNotFound},          // ERROR_FILE_NOT_FOUND
    {3, Cause::BadPath},               // ERROR_PATH_NOT_FOUND
    {15, Cause::BadPath},              // ERROR_INVALID_DRIVE
    {53, Cause::BadPath},              // ERROR_BAD_NETPATH
    {123, Cause::BadPath},             // ERROR_INVALID_NAME
    {161, Cause::BadPath},             // ERROR_BAD_PATHNAME
    {206, Cause::BadPath},             // ERROR_FILENAME_EXCED_RANGE
    {267, Cause::BadPath},             // ERROR_DIRECTORY
    {4, Cause::TooManyOpenFiles},      // ERROR_TOO_MANY_OPEN_FILES
    {5, Cause::AccessDenied},          // ERROR_ACCESS_DENIED
    {19, Cause::AccessDenied},         // ERROR_WRITE_PROTECT
    {65, Cause::AccessDenied},         // ERROR_NETWORK_ACCESS_DENIED
    {80, Cause::AccessDenied},         // ERROR_FILE_EXISTS
    {183, Cause::AccessDenied},        // ERROR_ALREADY_EXISTS
    {6, Cause::InvalidFile},           // ERROR_INVALID_HANDLE
    {16, Cause::RemoveCurrentDir},     // ERROR_CURRENT_DIRECTORY
    {18, Cause::DirectoryFull},        // ERROR_NO_MORE_FILES
    {82, Cause::DirectoryFull},        // ERROR_CANNOT_MAKE
    {25, Cause::BadSeek},              // ERROR_SEEK
    {131, Cause::BadSeek},             // ERROR_NEGATIVE_SEEK
    {20, Cause::HardIo},               // ERROR_BAD_UNIT
    {21, Cause::HardIo},               // ERROR_NOT_READY
    {23, Cause::HardIo},               // ERROR_CRC
    {27, Cause::HardIo},               // ERROR_SECTOR_NOT_FOUND
    {29, Cause::HardIo},               // ERROR_WRITE_FAULT
    {30, Cause::HardIo},               // ERROR_READ_FAULT
    {31, Cause::HardIo},               // ERROR_GEN_FAILURE
    {32, Cause::SharingViolation},     // ERROR_SHARING_VIOLATION
    {33, Cause::LockViolation},        // ERROR_LOCK_VIOLATION
    {167, Cause::LockViolation},       // ERROR_LOCK_FAILED
    {39, Cause::DiskFull},             // ERROR_HANDLE_DISK_FULL
    {112, Cause::DiskFull},            // ERROR_DISK_FULL
    {38, Cause::EndOfFile},            // ERROR_HANDLE_EOF
};

}  // namespace

FileErrorCause FileErrorCauseOf(std::uint32_t win32Error) {
  for (const auto& [code, cause] : kCauses) {
    if (code == win32Error) return cause;
  }
  return Cause::Generic;
}

FileErrorCause FailureCauseOf(std::uint32_t win32Error) {
  const FileErrorCause cause = FileErrorCauseOf(win32Error);
  return cause == Cause::None ? Cause::Generic : cause;
}

}  // namespace pagewire::platform::win32
