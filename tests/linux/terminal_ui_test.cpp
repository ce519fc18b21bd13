// The command's answers to the print command's questions when nobody can
// type them, and the answers read from a terminal.
#include "cli/terminal_ui.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "cli/progress_line.h"
#include "cli/terminal_answer.h"
#include "job/job_messages.h"

namespace pagewire::cli {
namespace {

using platform::MessageButtons;
using platform::MessageAnswer;
using platform::MessageIcon;

// The options of one command with the given words; `interactive` false.
struct Command {
  explicit Command(std::vector<std::string> args) {
    args.push_back("file.pdf");
    std::string error;
    options = *ParseCommandLine(args, error);
  }
  CliOptions options;
};

TEST(TerminalUi, ANoTerminalQuestionIsAnsweredOkOnlyWithYes) {
  const struct {
    std::vector<std::string> args;
    MessageAnswer answer;
  } cases[] = {{{}, MessageAnswer::Cancel}, {{"--yes"}, MessageAnswer::Ok}};
  for (const auto& c : cases) {
    const Command command(c.args);
    TerminalUi ui(command.options, false, "");
    ui.StartPath("dir/");
    ui.SetCurrentFile("dir/locked.pdf");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ui.ShowMessageBox("[locked.pdf] is not of a supported file format. Do you want "
                                "to continue?",
                                MessageButtons::OkCancel, MessageIcon::Exclamation),
              c.answer);
    const std::string said = testing::internal::GetCapturedStderr();
    const bool refused = c.answer == MessageAnswer::Cancel;
    EXPECT_EQ(said.find("[dir/locked.pdf] is not sent") != std::string::npos, refused) << said;
    EXPECT_EQ(said.find("--yes") != std::string::npos, refused) << said;
    // A failure nobody can mend is never retried.
    testing::internal::CaptureStderr();
    EXPECT_EQ(
        ui.ShowMessageBox("Output File: x ERROR", MessageButtons::RetryCancel, MessageIcon::Stop),
        MessageAnswer::Cancel);
    testing::internal::GetCapturedStderr();
    // A destination's failure names the file and the destination.
    ui.SetDestination("Office");
    testing::internal::CaptureStderr();
    ui.Told(job::DestinationFailed("locked.pdf", "dir/locked.pdf", {}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pagewire: [dir/locked.pdf] is not sent: Office did not take the job.\n");
  }
}

// A destination's job id, its words for a failure and a job's end at the
// printer are told from the outcome, each once.
TEST(TerminalUi, DestinationWordsComeFromTheOutcome) {
  const Command command({});
  job::DocumentOutcome sent;
  sent.name = "a.pdf";
  sent.jobId = "Office-17";
  job::DocumentOutcome ended = sent;
  ended.end = platform::PrinterEnd{false, "media-empty"};
  platform::SendFailure failure;
  failure.cause = "connection refused";
  const job::DocumentOutcome failed = job::DestinationFailed("a.pdf", "a.pdf", failure);
  TerminalUi ui(command.options, false, "");
  ui.StartPath("a.pdf");
  ui.SetDestination("Office");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  for (const job::DocumentOutcome& outcome : {sent, ended, failed}) ui.Told(outcome);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "request id is Office-17 (1 file(s))\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "pagewire: Office: a.pdf: not printed: media-empty\n"
            "pagewire: Office: connection refused\n"
            "pagewire: [a.pdf] is not sent: Office did not take the job.\n");
}

TEST(TerminalUi, AnEmptyGivenPasswordIsRefusedAndAWrongOneIsNotAskedAgain) {
  char pattern[] = "/tmp/pagewire-password-XXXXXX";
  const int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  const struct {
    std::string line;
    job::PasswordAnswer answer;
  } cases[] = {{"\n", job::PasswordAnswer::Cancel},
               {"", job::PasswordAnswer::Cancel},
               {"s3cret\n", job::PasswordAnswer::Try}};
  for (const auto& c : cases) {
    std::ofstream(pattern, std::ios::trunc) << c.line;
    const Command command({"--password-file", pattern});
    TerminalUi ui(command.options, false, "");
    std::string error;
    if (!ui.LoadGivenPassword(error)) {
      EXPECT_TRUE(c.line.empty()) << error;  // a file without a line is a usage error
      continue;
    }
    job::PasswordEntry entry;
    entry.fileName = "locked.pdf";
    testing::internal::CaptureStderr();
    EXPECT_EQ(ui.Password(entry, {1, 4}), c.answer) << c.line;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ui.PasswordHandedOut(), c.answer == job::PasswordAnswer::Try);
    if (c.answer != job::PasswordAnswer::Try) {
      EXPECT_NE(said.find("[locked.pdf] is not sent: the password from --password-file is empty"),
                std::string::npos)
          << said;
      continue;
    }
    // The print command's retry after a wrong password: nothing to type again.
    testing::internal::CaptureStderr();
    EXPECT_EQ(ui.Password(entry, {2, 4}), job::PasswordAnswer::NoOther);
    job::DocumentOutcome wrong;
    wrong.kind = job::DocumentOutcome::Kind::Skipped;
    wrong.reason = job::SkipReason::WrongPassword;
    wrong.name = "locked.pdf";
    ui.Told(wrong);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pagewire: [locked.pdf] is not sent: the password from --password-file is wrong.\n");
  }
  unlink(pattern);
}

// The header's 32-byte block binds only the destinations that carry it: the
// password goes to the print command whole, in bytes, and its destination
// applies its own limit.
TEST(TerminalUi, AGivenPasswordOver32CharactersWasRefusedWhateverItsDestination) {
  char pattern[] = "/tmp/pagewire-password-XXXXXX";
  const int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  std::string umlauts;  // 32 characters, 64 bytes
  for (int i = 0; i < 32; ++i) umlauts += "\xC3\xA4";
  for (const std::string& password :
       {umlauts, umlauts + "a", std::string("0123456789abcdefghijklmnopqrstuvwxyz!")}) {
    std::ofstream(pattern, std::ios::trunc) << password << "\n";
    const Command command({"--password-file", pattern});
    TerminalUi ui(command.options, false, "");
    std::string error;
    ASSERT_TRUE(ui.LoadGivenPassword(error)) << error;
    job::PasswordEntry entry;
    testing::internal::CaptureStderr();
    EXPECT_EQ(ui.Password(entry, {1, 4}), job::PasswordAnswer::Try);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(entry.password, password);  // both forms: the bytes given
    EXPECT_EQ(entry.passwordUtf8, password);
  }
  unlink(pattern);
}

// --password-file /dev/zero, or a first line of 300 MB, grew without bound.
TEST(TerminalUi, APasswordFileWithoutALineEndWasReadToItsEnd) {
  char pattern[] = "/tmp/pagewire-password-XXXXXX";
  const int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  const std::string longest(kPasswordLineMax, 'a');
  const std::string tooLong = "--password-file: the first line of '" + std::string(pattern) +
                              "' is longer than 4096 bytes";
  const struct {
    std::string content;  // none: /dev/zero
    std::string error;
  } cases[] = {{longest + "\n", ""},
               {longest + "\r\n", ""},
               {longest, ""},
               {longest + "a\n", tooLong},
               {std::string(1 << 20, 'x'), tooLong},
               {"", "--password-file: '" + std::string(pattern) + "' is empty"}};
  for (const auto& c : cases) {
    std::ofstream(pattern, std::ios::binary | std::ios::trunc) << c.content;
    const Command command({"--password-file", pattern});
    TerminalUi ui(command.options, false, "");
    std::string error;
    EXPECT_EQ(ui.LoadGivenPassword(error), c.error.empty());
    EXPECT_EQ(error, c.error) << c.content.size();
  }
  const Command zero({"--password-file", "/dev/zero"});
  TerminalUi ui(zero.options, false, "");
  std::string error;
  EXPECT_FALSE(ui.LoadGivenPassword(error));
  EXPECT_EQ(error, "--password-file: the first line of '/dev/zero' is longer than 4096 bytes");
  unlink(pattern);
}

// Standard input as fd 0 for a while; the FILE is told its state anew.
class StandardInputFrom {
 public:
  explicit StandardInputFrom(const char* path) : saved_(dup(STDIN_FILENO)) {
    const int fd = open(path, O_RDONLY);
    dup2(fd, STDIN_FILENO);
    close(fd);
    clearerr(stdin);
  }
  ~StandardInputFrom() {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
    clearerr(stdin);
  }
  StandardInputFrom(const StandardInputFrom&) = delete;
  StandardInputFrom& operator=(const StandardInputFrom&) = delete;

 private:
  int saved_;
};

// Ctrl-D at the prompt ended the file without a word; a password file that
// could not be read gave no reason; a PDF on standard input was told to take
// its password from standard input too.
TEST(TerminalUi, PasswordMessagesLackedTheirCauseOrSuggestedWhatCannotWork) {
  {
    const Command command({});
    TerminalUi ui(command.options, true, "");
    const StandardInputFrom end("/dev/null");
    job::PasswordEntry entry;
    entry.fileName = "locked.pdf";
    testing::internal::CaptureStderr();
    EXPECT_EQ(ui.Password(entry, {1, 4}), job::PasswordAnswer::Cancel);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Password for locked.pdf: pagewire: [locked.pdf] is not sent: the password prompt "
              "got end of input (Ctrl-D).\n");
  }
  {
    std::string error;
    const auto options = ParseCommandLine({"-"}, error);
    ASSERT_TRUE(options) << error;
    TerminalUi ui(*options, false, "");
    job::PasswordEntry entry;
    entry.fileName = "(stdin)";
    testing::internal::CaptureStderr();
    EXPECT_EQ(ui.Password(entry, {1, 4}), job::PasswordAnswer::Cancel);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pagewire: [(stdin)] needs a password: give --password-file.\n");
  }
  const std::pair<const char*, const char*> unreadable[] = {
      {"/nonexistent/pw", "No such file or directory"}, {"/", "Is a directory"}};
  for (const auto& [path, reason] : unreadable) {
    const Command command({"--password-file", path});
    TerminalUi ui(command.options, false, "");
    std::string error;
    EXPECT_FALSE(ui.LoadGivenPassword(error));
    EXPECT_EQ(error, "--password-file: cannot read '" + std::string(path) + "': " + reason);
  }
}

TEST(TerminalUi, OneFileHadThreeNamesAndAMessageRanIntoTheProgressLine) {
  const Command command({});
  TerminalUi ui(command.options, false, "");
  const struct {
    const char* path;
    const char* named;
  } cases[] = {{"pdf/noprint256.pdf", "[pdf/noprint256.pdf]"}, {"-", "[(stdin)]"}};
  for (const auto& c : cases) {
    ui.StartPath(c.path);
    ShowProgressLine("8% of 47 MiB");
    testing::internal::CaptureStderr();
    // The print command names the file by its long name.
    ui.ShowMessageBox(std::string("[") + (c.path[0] == '-' ? "(stdin)" : "noprint256.pdf") +
                          "] is not of a supported file format. Do you want to continue?",
                      MessageButtons::OkCancel, MessageIcon::Exclamation);
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string named = c.named;
    EXPECT_EQ(said, "\npagewire: " + named +
                        " is not of a supported file format. Do you want to continue?\n"
                        "pagewire: " + named +
                        " is not sent: no terminal to answer; --yes answers OK.\n");
  }
}

TEST(TerminalAnswer, BytesAboveAsciiAreNoAnswer) {
  const std::pair<const char*, bool> yes[] = {
      {"yes", true}, {"YES", true},   {"y", true},     {"Y", true},     {"", false},
      {"ye", false}, {"\xD9", false}, {"\xF9", false}, {"\xFF", false},
  };
  for (const auto& [answer, isYes] : yes) EXPECT_EQ(IsAnswer(answer, "yes"), isYes) << answer;
  EXPECT_FALSE(IsAnswer("\xCE", "no"));
  EXPECT_TRUE(IsAnswer("N", "no"));
}

}  // namespace
}  // namespace pagewire::cli
