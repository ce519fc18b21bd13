// What a job asks its front end, each question and answer a type: the
// desktop answers with its dialogs and message boxes, the command with its
// prompts and options, tests with scripts, a server with job attributes
// and holds. The front end is also told each outcome as it happens.
#pragma once

#include <optional>
#include <string>

#include "job/outcome.h"
#include "job/password.h"
#include "job/pdf_print_settings.h"
#include "platform/file_error.h"

namespace pagewire::job {

enum class SettingsAnswer { Print, Cancel };

// A password attempt: the entry keeps the previous attempt's text.
struct PasswordQuestion {
  int attempt = 1;  // from 1; above 1 the previous one was wrong
  int attempts = 4;
};
// Cancel skips the file; NoOther: the password cannot change, it is wrong.
enum class PasswordAnswer { Try, Cancel, NoOther };

// Whether to go on with a file the job would not print as it is.
struct GoOnQuestion {
  enum class Kind {
    ForbidsPrinting,  // a PDF whose permissions forbid printing
    Unreadable,       // a PDF that cannot be read
    OtherKind,        // of no kind the job knows: sent unprocessed
  };
  Kind kind;
  std::string name;  // its long name
  std::string path;  // the path it is opened by
};

// A file of a folder: Print, Skip it, Abort the job, or PrintAll the rest
// without asking.
enum class ConfirmAnswer { Print, Skip, Abort, PrintAll };

class Decisions {
 public:
  virtual ~Decisions() = default;

  // The settings of the next PDF; Print applies what was chosen.
  virtual SettingsAnswer PdfSettings(PdfPrintSettings& settings) = 0;
  // A TIFF about to be sent: true when `settings` go with it, to a
  // destination that carries them itself (`takesHeader` false). By default
  // a TIFF goes without settings.
  virtual bool TiffSettings(PdfPrintSettings& /*settings*/, bool /*takesHeader*/) {
    return false;
  }
  // One attempt of a protected PDF's password, typed into `entry`.
  virtual PasswordAnswer Password(PasswordEntry& entry, const PasswordQuestion& question) = 0;
  virtual bool GoOn(const GoOnQuestion& question) = 0;
  virtual ConfirmAnswer ConfirmFolderFile(const std::string& name) = 0;
  // The output file's path, when the job has none; none: no output file.
  virtual std::optional<std::string> OutputFilePath() = 0;
  // The output file could not be made: whether to try again.
  virtual bool RetryOutputFile(const std::string& path, platform::FileErrorCause cause) = 0;
  // A document's outcome, the moment it is known.
  virtual void Told(const DocumentOutcome& outcome) = 0;
};

}  // namespace pagewire::job
