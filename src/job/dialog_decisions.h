// The desktop's decisions: its dialogs and message boxes.
#pragma once

#include "job/decisions.h"
#include "job/job_dialogs.h"
#include "platform/user_interface.h"

namespace pagewire::job {

class DialogDecisions : public Decisions {
 public:
  DialogDecisions(platform::UserInterface& ui, JobDialogs& dialogs) : ui_(ui), dialogs_(dialogs) {}

  SettingsAnswer PdfSettings(PdfPrintSettings& settings) override;
  // After a wrong password, says so before the dialog comes back.
  PasswordAnswer Password(PasswordEntry& entry, const PasswordQuestion& question) override;
  bool GoOn(const GoOnQuestion& question) override;
  ConfirmAnswer ConfirmFolderFile(const std::string& name) override;
  // Save As, for a ".prn" file.
  std::optional<std::string> OutputFilePath() override;
  bool RetryOutputFile(const std::string& path, platform::FileErrorCause cause) override;
  // A box for each outcome that ends a document unasked: a failure (stop
  // icon), or a skip that no question told of.
  void Told(const DocumentOutcome& outcome) override;

 private:
  platform::UserInterface& ui_;
  JobDialogs& dialogs_;
};

}  // namespace pagewire::job
