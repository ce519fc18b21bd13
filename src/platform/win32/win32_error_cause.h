// Maps a Win32 error code (GetLastError) to the cause numbering of the
// file-error messages. Free of <windows.h> so that native tests run it.
#pragma once

#include <cstdint>

#include "platform/file_error.h"

namespace pagewire::platform::win32 {

FileErrorCause FileErrorCauseOf(std::uint32_t win32Error);

// The cause to report for an operation known to have failed: never None,
// so that a failure cannot read "No error occurred.".
FileErrorCause FailureCauseOf(std::uint32_t win32Error);

}  // namespace pagewire::platform::win32
