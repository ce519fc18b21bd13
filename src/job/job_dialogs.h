// The desktop's modal dialogs, which its decisions run (dialog_decisions.h)
// and the dialogs layer implements, and the objects they work on; those
// outlive a run.
#pragma once

#include <string>

#include "job/password.h"
#include "job/pdf_print_settings.h"

namespace pagewire::job {

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
};

}  // namespace pagewire::job
