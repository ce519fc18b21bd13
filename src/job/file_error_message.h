// The standard file-error messages, one per failure cause.
#pragma once

#include <string>

#include "platform/file_error.h"

namespace pagewire::job {

// The message for `cause` with %1 replaced by `path`.
std::string FileErrorMessage(platform::FileErrorCause cause, const std::string& path);

}  // namespace pagewire::job
