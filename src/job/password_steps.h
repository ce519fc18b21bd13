// The password steps of a PDF: one inspection of the file, up to four
// attempts in the password dialog, and the encrypted password.
#pragma once

#include <string>

#include "job/job_header.h"
#include "job/run_print_job.h"

namespace pagewire::job {

struct PasswordOutcome {
  bool print = false;  // false: skip the file or end the command
  KeyMode keyMode = KeyMode::None;
  std::string passwordHex;
};

PasswordOutcome RunPasswordSteps(PrintCommandServices& services, const std::string& openPath,
                                 const std::string& fileName);

}  // namespace pagewire::job
