// A PDF's password on the job's side: the entry one attempt is typed into,
// the steps that find the password that opens the file (one inspection, up
// to four attempts, or the one given with the job), and the password as the
// destination gets it, encrypted for the job header or as it opened the
// file. The encryption itself is in password_crypt.h.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "job/job_header.h"
#include "job/password_crypt.h"
#include "job/pdf_inspection.h"
#include "settings/print_job_settings.h"

namespace pagewire::job {

class Decisions;
enum class SkipReason;

inline constexpr std::size_t kPasswordMaxChars = 32;

// The "Enter Password" dialog's members that outlive one attempt; a retry
// shows the previous entry. The password is wiped when the entry goes.
struct PasswordEntry {
  PasswordEntry() = default;
  PasswordEntry(const PasswordEntry& other) = default;
  PasswordEntry& operator=(const PasswordEntry& other) = default;
  ~PasswordEntry() {
    WipeSecret(password);
    WipeSecret(passwordUtf8);
    WipeSecret(passwordPdfDoc);
  }

  std::string fileName;           // shown read-only
  bool macEntryDisabled = false;  // the port has no address: no details
  // The typed text twice: in the system code page (revisions 2 to 4 take
  // it) and in UTF-8 (revisions 5 and 6). The command gives both the bytes
  // typed.
  std::string password;
  std::string passwordUtf8;
  // The command's second try for revisions 2 to 4 when `password` fails:
  // the UTF-8 typed in PDFDocEncoding. Empty: none.
  std::string passwordPdfDoc;
  std::optional<settings::MacAddress> macAddress;  // the printer's address, when given
};

struct PasswordOutcome {
  std::optional<SkipReason> skip;  // set: the file is not sent
  KeyMode keyMode = KeyMode::None;
  std::string passwordHex;
  // Without the header: the bytes that opened the file; wiped with the
  // outcome.
  std::string plain;

  ~PasswordOutcome() { WipeSecret(plain); }
};

struct PasswordSteps {
  Decisions& decisions;
  const InspectPdf& inspectPdf;
  const std::function<bool()>& portHasAddress;  // asked once a password is
  // The job's own password: tried alone, without a question.
  const std::optional<std::string>& given;
};

// `forHeader`: the password goes in the job header, which holds 32 bytes.
PasswordOutcome RunPasswordSteps(const PasswordSteps& steps, const std::string& openPath,
                                 const std::string& fileName, bool forHeader);

}  // namespace pagewire::job
