// How the pagewire command words the print command's messages about one
// file or folder: the path first, then what happened to it.
#pragma once

#include <optional>
#include <string>

#include "platform/file_error.h"
#include "platform/user_interface.h"

namespace pagewire::cli {

// How the command names a file it reads: by its path as given, and
// standard input "(stdin)".
std::string FileLabel(const std::string& path);

// A failed file operation as "FILE: reason", the reason in the system's own
// words ("Permission denied"); the output file "-" is "standard output".
std::string CommandFileError(platform::FileRole role, platform::FileErrorCause cause,
                             const std::string& path);

// The line for a message whose box text is `text`; none when nothing went
// wrong. A path that was not found is looked up again for the reason.
std::optional<std::string> CommandFileMessage(platform::FileNotice notice, const std::string& path,
                                              const std::string& text);

}  // namespace pagewire::cli
