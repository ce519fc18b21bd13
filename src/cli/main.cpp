// pagewire: prints PDF and TIFF files on a PJL printer from Linux, through
// the same print command as the Windows program.
#include <unistd.h>

#include <iostream>

#include "cli/cli_options.h"
#include "cli/command_file_system.h"
#include "cli/file_messages.h"
#include "cli/output_guard.h"
#include "cli/saved_settings.h"
#include "cli/terminal_ui.h"
#include "job/file_class.h"
#include "job/pdf_inspection.h"
#include "job/run_print_job.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_settings_store.h"
#include "platform/linux/linux_system_facts.h"
#include "transport/cups_destination.h"
#include "transport/ipp_destination.h"
#include "transport/linux_destinations.h"
#include "transport/send_interrupt.h"

namespace pagewire::cli {
namespace {

enum ExitStatus { kAllSent = 0, kSomeNotSent = 1, kUsageError = 2, kDestinationFailed = 3 };
// A send ended by a signal exits 128 and the signal's number, as the shell
// tells a command the signal ended.
constexpr int kSignalled = 128;

// How long -l looks for IPP printers on the network.
constexpr std::chrono::milliseconds kBrowseTime{2000};

// What the exit status takes from the jobs' outcomes.
struct JobEnds {
  bool settingRefused = false;  // a setting an IPP printer lacks, or a plain ipp:// password
  bool allPrinted = true;       // with --wait
};

// Quillora files are handed to their application on Windows only.
class NoApplications : public platform::Shell {
 public:
  std::optional<std::string> AssociatedApplication(const std::string&) override {
    return std::nullopt;
  }
  bool StartApplication(const std::string&, const std::string&) override { return false; }
  bool PrintOnDefaultPrinter(const std::string&) override { return false; }
  bool OpenDocument(const std::string&) override { return false; }
};

int UsageError(const std::string& message) {
  TerminalUi::Say(message);
  std::cerr << "Try 'pagewire --help'.\n";
  return kUsageError;
}

// The IPP printers on the network are listed even without a CUPS server.
int ListDestinations() {
  std::string cause;
  const auto printers = transport::ListCupsPrinters(cause);
  if (!printers) TerminalUi::Say("CUPS destinations: " + cause);
  if (printers) {
    for (const transport::CupsPrinter& printer : *printers) {
      std::cout << printer.name << '\t' << printer.details.port << '\n';
    }
  }
  for (const transport::NetworkPrinter& printer : transport::FindIppPrinters(kBrowseTime)) {
    std::cout << printer.name << '\t' << printer.uri << '\n';
  }
  return printers ? kAllSent : kDestinationFailed;
}

bool IsFolder(platform::FileSystem& fileSystem, const std::string& path) {
  const std::optional<platform::PathEntry> entry = fileSystem.LookUp(path);
  return entry && entry->isFolder;
}

// Once the command has ended early, every PATH it did not come to.
void TellNotSent(const std::vector<std::string>& paths, std::size_t from) {
  for (std::size_t i = from; i < paths.size(); ++i) {
    TerminalUi::Say("[" + FileLabel(paths[i]) + "] is not sent: the command ended before it.");
  }
}

// The destinations' notices are told on standard error; on a terminal a
// stalled printer is told of, and --timeout ends its job.
transport::DestinationOptions DestinationOptionsOf(const CliOptions& options,
                                                   platform::LinuxSystemFacts& facts) {
  using std::chrono::seconds;
  transport::DestinationOptions destination;
  destination.report = [](const std::string& line) { TerminalUi::Say(line); };
  if (isatty(STDERR_FILENO)) destination.stalls.notice = seconds(30);
  if (options.timeoutSeconds) destination.stalls.timeout = seconds(*options.timeoutSeconds);
  destination.title = options.title;
  if (options.waitSeconds) destination.wait = seconds(*options.waitSeconds);
  destination.allowPlainPassword = options.allowPlainPassword;
  // An IPP printer's job names the user the header does.
  destination.ippUser = facts.UserName().value_or("");
  destination.ipp.keys = options.overrides.Keys();
  destination.ipp.mediaName = options.overrides.mediaName.value_or("");
  return destination;
}

// A job the printer did not print (with --wait), and a setting or a plain
// ipp:// password a printer refused, which is the command's to mend: a
// usage error.
void AddEnds(const job::JobResult& result, JobEnds& ends) {
  for (const job::DocumentOutcome& outcome : result.outcomes) {
    if (outcome.end && !outcome.end->printed) ends.allPrinted = false;
    if (outcome.kind == job::DocumentOutcome::Kind::Failed &&
        outcome.failedAt == job::DocumentOutcome::FailedAt::Destination &&
        outcome.send.kind == platform::SendFailure::Kind::Refused &&
        outcome.send.refusal != platform::Refusal::File) {
      ends.settingRefused = true;
    }
  }
}

// The settings chosen: those of the settings file, each read as its option
// is, under those of the command line. None, with `error` naming the
// file's line, when a saved value is wrong.
std::optional<SettingOverrides> ChosenSettings(platform::LinuxSettingsStore& store,
                                               const std::string& path,
                                               const SettingOverrides& given,
                                               std::string& error) {
  const std::optional<SavedSettings> saved = ReadSavedSettings(store.FileLines(), path, error);
  if (!saved) return std::nullopt;
  SettingOverrides chosen;
  // The earlier form kept every setting.
  if (saved->earlierForm) {
    const platform::SavedPrintSettings earlier = store.LoadPrintSettings({});
    if (earlier.settings) chosen = SettingOverrides::AllOf(*earlier.settings);
  }
  chosen.MergeFrom(saved->settings);
  chosen.MergeFrom(given);
  return chosen;
}

int Run(const CliOptions& options) {
  if (options.server) transport::UseCupsServer(*options.server);
  if (options.list) return ListDestinations();
  if (!options.destination.empty()) {
    if (auto problem = transport::DestinationNameProblem(options.destination)) {
      return UsageError("-d: " + *problem);
    }
  }

  const std::string settingsPath = platform::DefaultSettingsPath();
  platform::LinuxSettingsStore settingsStore(settingsPath);
  std::string error;
  CliOptions command = options;
  if (auto chosen = ChosenSettings(settingsStore, settingsPath, options.overrides, error)) {
    command.overrides = *chosen;
  } else {
    TerminalUi::Say(error);
    return kUsageError;
  }
  // As lpoptions -o: the settings given join those kept.
  if (options.save && !settingsStore.SaveSettingLines(command.overrides.Lines())) {
    TerminalUi::Say(settingsPath.empty()
                        ? "--save: no home folder is known to keep the settings in."
                        : "--save: the settings file cannot be written: " + settingsPath);
    return kSomeNotSent;
  }
  if (options.paths.empty()) return kAllSent;

  const std::optional<std::string> output = options.JobOutput();
  const bool toFile = output.has_value();
  std::string destination = options.destination;
  if (!toFile && destination.empty()) {
    destination = transport::CupsDefaultPrinter();
    if (destination.empty()) {
      TerminalUi::Say("no destination: give -d DEST, or set a default one with lpoptions -d");
      return kDestinationFailed;
    }
  }
  const bool interactive = isatty(STDIN_FILENO) && isatty(STDERR_FILENO) &&
                           options.passwordSource != PasswordSource::StandardInput &&
                           !options.ReadsStandardInput();
  if (options.confirm && !interactive) return UsageError("--confirm: needs a terminal");

  if (toFile) {
    if (auto clash = OutputClash(*output, options.paths)) return UsageError(*clash);
  }

  TerminalUi ui(command, interactive, settingsPath);
  if (!ui.LoadGivenPassword(error)) return UsageError(error);

  platform::LinuxFileSystem linuxFileSystem;
  CommandFileSystem fileSystem(linuxFileSystem, isatty(STDERR_FILENO) && !options.showHeader,
                               [&ui](const std::string& path) { ui.SetCurrentFile(path); });
  platform::LinuxSystemFacts systemFacts;
  NoApplications shell;
  JobEnds ends;
  transport::LinuxPrinters printers(DestinationOptionsOf(command, systemFacts));
  platform::Platform platform{settingsStore, printers, fileSystem, shell, systemFacts, ui};
  const job::InspectPdf inspect = job::RealPdfInspection();
  job::PrintCommandServices services{
      platform, ui,
      [&](const std::string& path) { return inspect(fileSystem.ReadPath(path)); },
      [&options] { return options.mac.has_value(); }};

  // The output file is made before anything is written into it.
  const std::string outputPath = output.value_or("");
  platform::FileErrorCause cause = platform::FileErrorCause::None;
  if (toFile && !fileSystem.CreateOutputFile(outputPath, cause)) {
    TerminalUi::Say(CommandFileError(platform::FileRole::Written, cause, outputPath));
    TellNotSent(options.paths, 0);
    return kDestinationFailed;
  }

  bool allSent = true;
  const bool standardInputKept =
      !options.ReadsStandardInput() || fileSystem.TakeStandardInput(error);
  if (!standardInputKept) {
    TerminalUi::Say(error);
    allSent = false;
  }
  ui.SetDestination(toFile ? outputPath : destination);
  ui.SetCarriesHeader(toFile || !transport::IppDestination::Names(destination));
  transport::CatchSendInterrupts();
  for (std::size_t i = 0; i < options.paths.size(); ++i) {
    const std::string& path = options.paths[i];
    if (path == kStandardInputPath && !standardInputKept) continue;
    if (!fileSystem.KeepIfStream(path, error)) {
      TerminalUi::Say(error);
      allSent = false;
      continue;
    }
    if (!IsFolder(fileSystem, path) && job::ClassOfPath(path) == job::FileClass::Quillora) {
      TerminalUi::Say("[" + path + "] is a Quillora file, which this command does not print.");
      allSent = false;
      continue;
    }
    ui.StartPath(path);
    job::Job job;
    job.documents.push_back(job::JobDocument{path, nullptr});
    job.destination = {toFile ? job::DestinationKind::OutputFile : job::DestinationKind::Printer,
                       toFile ? outputPath : destination, outputPath};
    job.sentData = options.showHeader ? job::SentData::HeaderOnly : job::SentData::HeaderAndFile;
    job.unnamedKind = job::UnnamedKind::ClassedByContent;
    const job::JobResult result = job::RunPrintJob(services, job);
    AddEnds(result, ends);
    allSent = allSent && result.completed &&
              result.Count(job::DocumentOutcome::Kind::Skipped) == 0 && result.SentCount() > 0;
    const int interrupt = transport::SendInterruptSignal();
    if (interrupt != 0 || result.PrinterFailed() || ui.OutputFailed()) {
      TellNotSent(options.paths, i + 1);
      if (interrupt != 0) return kSignalled + interrupt;
      return result.PrinterFailed() && ends.settingRefused ? kUsageError : kDestinationFailed;
    }
  }
  if (!fileSystem.CloseOutput(ui.PasswordHandedOut(), cause)) {
    TerminalUi::Say(CommandFileError(platform::FileRole::Written, cause, outputPath));
    return kDestinationFailed;
  }
  return allSent && ends.allPrinted ? kAllSent : kSomeNotSent;
}

}  // namespace
}  // namespace pagewire::cli

int main(int argc, char** argv) {
  using namespace pagewire::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const std::optional<CliOptions> options = ParseCommandLine(args, error);
  if (!options) return UsageError(error);
  if (options->help) {
    std::cout << kUsage;
    return kAllSent;
  }
  if (options->version) {
    std::cout << "pagewire " PAGEWIRE_VERSION "\n";
    return kAllSent;
  }
  return Run(*options);
}
