// The print command's modal dialogs. Each run returns the dialog's result
// (dialog_results.h); the objects they work on outlive the run.
#pragma once

#include <string>

#include "dialogs/password_entry.h"
#include "dialogs/pdf_print_settings.h"

namespace pagewire::dialogs {

class JobDialogs {
 public:
  virtual ~JobDialogs() = default;

  // "PDF File Print" on the command's settings: kIdOk or kIdCancel. Every
  // press of OK applies the choices to the record and the saved settings.
  virtual int RunPdfPrintSettingsDlg(PdfPrintSettings& settings) = 0;
  // "Enter Password" for one file: kIdOk or kIdCancel.
  virtual int RunPasswordDlg(PasswordEntry& entry) = 0;
  // "Confirmation" of one file of a folder: kIdOk, kIdCancel, kIdAbort or
  // kIdPrintAll.
  virtual int RunFileConfirmDlg(const std::string& fileName) = 0;
};

}  // namespace pagewire::dialogs
