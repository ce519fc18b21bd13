// Where a job's documents go: a printer (the Windows spooler, a CUPS queue,
// a raw socket, an IPP printer) or the output file.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_error.h"
#include "settings/print_job_settings.h"

namespace pagewire::platform {

// A file destination's failure: its cause, and the file it names.
struct FileFailure {
  FileErrorCause cause = FileErrorCause::None;
  std::string path;
};

// Why a printer would not take a document; nothing of it was sent.
enum class Refusal {
  Setting,        // a job setting it does not offer
  File,           // the file's format, or its password
  PlainPassword,  // a password that plain ipp:// would carry in clear
};

// Why a document did not print.
struct SendFailure {
  enum class Kind {
    Printer,      // the printer or the system's print path failed
    File,         // a file destination could not be written: `file`
    Refused,      // the printer would not take it: `refusal`
    Interrupted,  // a signal ended the send
  };
  Kind kind = Kind::Printer;
  // The destination's own words for it; empty when it has none.
  std::string cause;
  FileFailure file;
  Refusal refusal = Refusal::Setting;
};

// How a job ended at the printer, when it was waited for.
struct PrinterEnd {
  bool printed = false;
  std::string reason;  // why not: the printer's reasons, or how the wait ended
};

// One document on its way. Bytes go out in the order written. A document
// dropped without Commit is aborted: the printer prints nothing of it (a
// raw socket cannot recall what the printer has already read).
class Document {
 public:
  virtual ~Document() = default;
  // Writes all `length` bytes; false when the destination failed.
  virtual bool Write(const void* data, std::size_t length) = 0;
  // Ends the document so that it prints; false when that failed.
  virtual bool Commit() = 0;
  // After a Write or Commit that failed: why.
  virtual SendFailure Failure() const { return {}; }
  // After a Commit: the destination's id of the job ("QUEUE-17"); empty
  // where it gives none.
  virtual std::string JobId() const { return {}; }
  // After a Commit: waits for the job's end at the printer where the
  // destination was asked to, and sets `end` to it (none otherwise). False
  // when the destination failed meanwhile (an interrupt, a connection that
  // would not close); Failure says why.
  virtual bool AwaitEnd(std::optional<PrinterEnd>& end) {
    end.reset();
    return true;
  }
};

enum class DocumentFormat { Pdf, Tiff, Other };

// What a destination is told of a document before its bytes.
struct DocumentStart {
  std::string title;     // the job's name at the printer
  std::string fileName;  // the file's long name, no folder
  DocumentFormat format = DocumentFormat::Other;
  // A PDF's job settings; null for other files.
  const settings::PrintJobSettings* settings = nullptr;
  // The password a protected PDF opened with, as its bytes.
  std::optional<std::string> password;
};

class Destination {
 public:
  virtual ~Destination() = default;
  // Starts one document; null when the destination cannot take it, and
  // then StartFailure says why.
  virtual std::unique_ptr<Document> StartDocument(const DocumentStart& start) = 0;
  virtual SendFailure StartFailure() const { return {}; }
  // True when a PDF goes with the job header in front of it. A destination
  // that carries the settings and the password itself (IPP) takes the
  // file's bytes alone.
  virtual bool TakesJobHeader() const { return true; }
};

}  // namespace pagewire::platform
