// A print job as its front end hands it over: what to print, with which
// settings, for whom, where to, and where its passwords come from. The
// desktop fills it from the main dialog and the system; a server would fill
// it from a request.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "job/password_crypt.h"
#include "platform/file_system.h"
#include "platform/system_facts.h"
#include "settings/print_job_settings.h"

namespace pagewire::job {

// One document: a file or a folder named by its path, or bytes the caller
// already holds (then `path` names them in messages and the PDF check).
struct JobDocument {
  std::string path;
  std::unique_ptr<platform::FileReader> reader;  // null: the path is opened
};

// A setting of the record, for telling which were chosen.
enum class SettingKey { Copies, Collate, Duplex, PaperType, PrintMode, PaperSize, Layout,
                        OutputColor, Pages };
// Where a chosen setting was chosen.
enum class SettingOrigin { CommandLine, Saved, Request };

struct ChosenSetting {
  SettingKey key;
  SettingOrigin origin;
};

// The saved settings, then each chosen setting taken from `values`; the
// question about a PDF's settings, where asked, has the last word.
struct JobSettings {
  settings::PrintJobSettings values;
  std::vector<ChosenSetting> chosen;  // empty: the saved settings alone
};

// Who asked for the job; none: the system's user, host and address, read
// afresh for each document.
struct Submitter {
  std::string userName;
  std::string hostName;
  platform::Ipv4Address address{};
};

enum class DestinationKind { Printer, OutputFile };

struct JobDestination {
  DestinationKind kind = DestinationKind::Printer;
  std::string printerName;  // also the printer a Quillora file is handed to
  // The output file's path; empty: it is asked for.
  std::string outputPath;
};

// Where a protected PDF's password comes from: asked per attempt, or given
// with the job (tried once; wrong ends that document).
struct PasswordSource {
  PasswordSource() = default;
  PasswordSource(const PasswordSource&) = default;
  PasswordSource& operator=(const PasswordSource&) = default;
  ~PasswordSource() {
    if (given) WipeSecret(*given);
  }
  std::optional<std::string> given;
};

// How a file whose path names no kind of file is sent.
enum class UnnamedKind { SentAsIs, ClassedByContent };
// What of each document is sent.
enum class SentData { HeaderAndFile, HeaderOnly };
// Which questions the job asks: all, or only those it cannot go on
// without (a password, a file that would not print as it is, the output
// file's path). NeededOnly takes the settings as they are, prints every file
// of a folder and sends a file of another kind unprocessed.
enum class Questions { All, NeededOnly };

struct Job {
  std::vector<JobDocument> documents;
  JobSettings settings;
  std::optional<Submitter> submitter;
  std::string title;  // the documents' name at the printer; empty: "[Pagewire]" and the file's
  JobDestination destination;
  PasswordSource passwords;
  UnnamedKind unnamedKind = UnnamedKind::SentAsIs;
  SentData sentData = SentData::HeaderAndFile;
  Questions questions = Questions::All;
};

// A job of the one file or folder at `path` to the printer `printerName`.
inline Job JobOf(std::string path, std::string printerName) {
  Job job;
  job.documents.push_back(JobDocument{std::move(path), nullptr});
  job.destination.printerName = std::move(printerName);
  return job;
}

}  // namespace pagewire::job
