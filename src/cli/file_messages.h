// How the pagewire command words the print command's messages about one
// file or folder: the path first, then what happened to it.
#pragma once

#include <optional>
#include <string>

#include "platform/user_interface.h"

namespace pagewire::cli {

// The line for a message whose box text is `text`; none when nothing went
// wrong. A path that was not found is looked up again for the reason.
std::optional<std::string> CommandFileMessage(platform::FileNotice notice, const std::string& path,
                                              const std::string& text);

}  // namespace pagewire::cli
