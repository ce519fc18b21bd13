// The desktop's words for the job's questions and outcomes, which other
// front ends may reuse, the job's own notices, and the way a failure ends
// a job.
#pragma once

#include <string>

#include "job/decisions.h"
#include "job/outcome.h"
#include "platform/file_error.h"
#include "platform/user_interface.h"

namespace pagewire::job {

// Thrown once the front end has been told the outcome that ends the job;
// caught where the job started. Never leaves RunPrintJob.
struct PrintCommandEnded {
  DocumentOutcome outcome;
};

inline constexpr const char* kUnsupportedOperation = "An unsupported operation was attempted.";
// Before the password dialog comes back after a wrong password.
inline constexpr const char* kCheckPassword = "Check the password you have just entered.";
inline constexpr const char* kWrongPassword = "Wrong password. Printing will be canceled.";
inline constexpr const char* kBlankFile = "The file is blank and cannot be printed.\n";

// The question's text, as the desktop's message box asks it.
std::string GoOnText(const GoOnQuestion& question);
std::string PasswordTooLongText(const std::string& fileName);
std::string PathTooLongText(const std::string& path);
std::string OutputFileErrorText(const std::string& path, platform::FileErrorCause cause);

// A box with the exclamation icon.
platform::MessageAnswer Tell(platform::UserInterface& ui, const platform::MessageText& text,
                             platform::MessageButtons buttons = platform::MessageButtons::Ok);

// A box with the exclamation icon about the file or folder at `path`.
platform::MessageAnswer TellAbout(platform::UserInterface& ui, platform::FileNotice notice,
                                  const std::string& path, const platform::MessageText& text,
                                  platform::MessageButtons buttons = platform::MessageButtons::Ok);

// Tells `outcome` and ends the job with it.
[[noreturn]] void EndWith(Decisions& decisions, DocumentOutcome outcome);
// A document that failed at its destination, or at the file at `path`.
DocumentOutcome DestinationFailed(const std::string& name, const std::string& path,
                                  platform::SendFailure failure);
DocumentOutcome FileFailed(const std::string& name, const std::string& path,
                           platform::FileErrorCause cause,
                           platform::FileRole role = platform::FileRole::Read);

}  // namespace pagewire::job
