// Message boxes of the print command, and the way a failure ends it.
#pragma once

#include <string>

#include "platform/file_error.h"
#include "platform/user_interface.h"

namespace pagewire::job {

// Thrown once the user has been told why the command cannot go on; caught
// where the command started. Never leaves RunPrintJob.
struct PrintCommandEnded {
  bool printerFailed = false;  // a printer document could not be started, written or ended
};

inline constexpr const char* kUnsupportedOperation = "An unsupported operation was attempted.";
// After a wrong password, before the password dialog comes back.
inline constexpr const char* kCheckPassword = "Check the password you have just entered.";

// A box with the exclamation icon.
platform::MessageAnswer Tell(platform::UserInterface& ui, const platform::MessageText& text,
                             platform::MessageButtons buttons = platform::MessageButtons::Ok);

// A box with the exclamation icon about the file or folder at `path`.
platform::MessageAnswer TellAbout(platform::UserInterface& ui, platform::FileNotice notice,
                                  const std::string& path, const platform::MessageText& text,
                                  platform::MessageButtons buttons = platform::MessageButtons::Ok);

// A printer failed: shows "An unsupported operation was attempted." (stop
// icon) and ends.
[[noreturn]] void EndWithPrinterFailure(platform::UserInterface& ui);
// Shows the file-error message for `cause` naming `path` (stop icon) and ends.
[[noreturn]] void EndWithFileError(platform::UserInterface& ui, platform::FileErrorCause cause,
                                   const std::string& path,
                                   platform::FileRole role = platform::FileRole::Read);

}  // namespace pagewire::job
