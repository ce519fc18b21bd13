// The password steps of a PDF: one inspection of the file, up to four
// attempts in the password dialog, and the password encrypted for the
// header, or as it opened the file for a destination that carries it.
#pragma once

#include <string>

#include "job/job_header.h"
#include "job/password_crypt.h"
#include "job/run_print_job.h"

namespace pagewire::job {

struct PasswordOutcome {
  bool print = false;  // false: skip the file or end the command
  KeyMode keyMode = KeyMode::None;
  std::string passwordHex;
  // Without the header: the bytes that opened the file; wiped with the
  // outcome.
  std::string plain;

  ~PasswordOutcome() { WipeSecret(plain); }
};

// `forHeader`: the password goes in the job header, which holds 32 bytes.
PasswordOutcome RunPasswordSteps(PrintCommandServices& services, const std::string& openPath,
                                 const std::string& fileName, bool forHeader);

}  // namespace pagewire::job
