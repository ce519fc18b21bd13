// The print command's modal dialogs, which the job drives and the dialogs
// layer implements, and the objects they work on; those outlive a run.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "job/password_crypt.h"
#include "job/pdf_print_settings.h"
#include "settings/print_job_settings.h"

namespace pagewire::job {

inline constexpr std::size_t kPasswordMaxChars = 32;

// The "Enter Password" dialog's members that outlive one run; a retry shows
// the previous entry. The password is wiped when the entry goes.
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

// Results by the buttons that end each dialog; Esc and the close box are
// Cancel.
enum class SettingsDlgResult { Ok, Cancel };
enum class PasswordDlgResult { Ok, Cancel };
enum class FileConfirmResult { Ok, Cancel, Abort, PrintAll };

class JobDialogs {
 public:
  virtual ~JobDialogs() = default;

  // "PDF File Print" on the command's settings. Every press of OK applies
  // the choices to the record and the saved settings.
  virtual SettingsDlgResult RunPdfPrintSettingsDlg(PdfPrintSettings& settings) = 0;
  // "Enter Password" for one file.
  virtual PasswordDlgResult RunPasswordDlg(PasswordEntry& entry) = 0;
  // "Confirmation" of one file of a folder: OK prints it, Cancel skips it,
  // Abort ends the command and Print All prints the rest without asking.
  virtual FileConfirmResult RunFileConfirmDlg(const std::string& fileName) = 0;
  // A TIFF about to be sent: true when `settings` go with it, to a
  // destination that carries them itself (`takesHeader` false: no header
  // is written for a TIFF). By default a TIFF goes without settings.
  virtual bool TakeTiffSettings(PdfPrintSettings& /*settings*/, bool /*takesHeader*/) {
    return false;
  }
};

}  // namespace pagewire::job
