// A sketch of a network print service over the job: the submitter comes
// from the request, the settings from its attributes, a question holds the
// job instead of asking anyone, and the outcomes become the job's state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "job/run_print_job.h"

namespace pagewire::job {
namespace {

struct Request {
  std::string user, host, folder, password;
  platform::Ipv4Address address{};
  int copies = 1;
};

// Nobody to ask: every question holds the job; each outcome is job state.
class HeldJob : public Decisions {
 public:
  std::vector<std::string> holds;
  std::vector<DocumentOutcome> state;
  SettingsAnswer PdfSettings(PdfPrintSettings&) override { return Hold("settings"); }
  PasswordAnswer Password(PasswordEntry& e, const PasswordQuestion&) override {
    return Hold(e.fileName), PasswordAnswer::Cancel;
  }
  bool GoOn(const GoOnQuestion& q) override { return Hold(q.name) == SettingsAnswer::Print; }
  ConfirmAnswer ConfirmFolderFile(const std::string&) override { return ConfirmAnswer::Print; }
  std::optional<std::string> OutputFilePath() override { return std::nullopt; }
  bool RetryOutputFile(const std::string&, platform::FileErrorCause) override { return false; }
  void Told(const DocumentOutcome& outcome) override { state.push_back(outcome); }
  SettingsAnswer Hold(const std::string& why) {
    return holds.push_back(why), SettingsAnswer::Cancel;
  }
};

JobResult Serve(fakes::FakePlatform& fake, HeldJob& held, const Request& request) {
  Job job = JobOf(request.folder, "spool");
  job.submitter = Submitter{request.user, request.host, request.address};
  job.title = "job of " + request.user;
  job.settings.values.copies = request.copies;
  job.settings.chosen = {{SettingKey::Copies, SettingOrigin::Request}};
  job.destination = {DestinationKind::OutputFile, "spool", "C:\\spool\\1.prn"};
  job.passwords.given = request.password;
  job.questions = Questions::NeededOnly;
  InspectPdf inspect = [](const std::string&) -> std::optional<PdfFacts> {
    return PdfFacts{false, true, pdf::PasswordForm::CodePage,
                    [](const std::string& password) { return password == "s3cret"; }};
  };
  PrintCommandServices services{fake.platform, held, inspect, [] { return false; }};
  return RunPrintJob(services, job);
}

TEST(PrintService, PrintsAFolderWithItsPasswordAndNoQuestions) {
  fakes::FakePlatform fake;
  fake.fileSystem.AddFolder("C:\\in");
  fake.fileSystem.AddFile("C:\\in\\locked.pdf", "%PDF-1.7 locked");
  fake.fileSystem.AddFile("C:\\in\\scan.tif", "II*\0");
  HeldJob held;
  const JobResult result = Serve(fake, held, {"ann", "ws7", "C:\\in", "s3cret", {10, 0, 0, 9}, 3});
  EXPECT_TRUE(result.completed && held.holds.empty() && fake.ui.messages.empty());
  ASSERT_EQ(held.state.size(), 2u);
  EXPECT_EQ(result.SentCount(), 2);
  const std::string spooled = fake.fileSystem.written.at("C:\\spool\\1.prn");
  for (const char* part : {"UNAME=ann\n", "HNAME=ws7\n", "IP=010.000.000.009", "@EPKY=FK",
                           "COPIES=3", "%PDF-1.7 locked", "II*"}) {
    EXPECT_NE(spooled.find(part), std::string::npos) << part;
  }
  // A wrong password is the job's state, not a question.
  HeldJob wrong;
  Serve(fake, wrong, {"bob", "ws8", "C:\\in\\locked.pdf", "guess"});
  ASSERT_EQ(wrong.state.size(), 1u);
  EXPECT_EQ(wrong.state[0].reason, SkipReason::WrongPassword);
}

}  // namespace
}  // namespace pagewire::job
