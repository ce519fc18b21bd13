// A print command over the fakes, with scripted answers of the PDF
// inspection.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/fake_platform.h"
#include "job/dialog_decisions.h"
#include "job/run_print_job.h"
#include "job/scripted_dialogs.h"

namespace pagewire::job {

// As the exported queries answer: 1 yes, 0 no, -1 unreadable.
struct QueryAnswers {
  int printDisable = 0;
  int passwd = 0;
  std::string password;  // the one that opens the file
};

class PrintCommandTest : public ::testing::Test {
 protected:
  PrintCommandTest() {
    fake.printers.AddPrinter("Office", "Model 5 PS", "IP_10.0.0.7");
    job.destination.printerName = "Office";
  }

  // The job of the one document at `path`; `interactive` false asks only
  // what the job needs.
  JobResult Run(bool interactive) {
    InspectPdf inspect = [this](const std::string& queried) -> std::optional<PdfFacts> {
      queriedPaths.push_back(queried);
      const QueryAnswers answer = answers[queried];
      if (answer.printDisable == -1 || answer.passwd == -1) return std::nullopt;
      PdfFacts facts{answer.printDisable == 1, answer.passwd == 1, pdf::PasswordForm::CodePage, {}};
      facts.checkPassword = [this, answer](const std::string& password) {
        checkedPasswords.push_back(password);
        return password == answer.password;
      };
      return facts;
    };
    DialogDecisions decisions(fake.ui, dialogs);
    PrintCommandServices services{fake.platform, decisions, inspect,
                                  [this] { return hasPortAddress; }};
    job.documents.clear();
    job.documents.push_back(JobDocument{path, nullptr});
    job.questions = interactive ? Questions::All : Questions::NeededOnly;
    result = RunPrintJob(services, job);
    return result;
  }

  std::vector<std::string> Messages() const { return fake.ui.MessageTexts(); }
  std::vector<std::string> DocNames() const {
    std::vector<std::string> names;
    for (const auto& d : fake.printers.documents) names.push_back(d.title);
    return names;
  }

  fakes::FakePlatform fake;
  ScriptedDialogs dialogs;
  std::string path;  // the job's document
  Job job;
  JobResult result;
  std::map<std::string, QueryAnswers> answers;
  std::vector<std::string> queriedPaths;  // one entry per inspection
  std::vector<std::string> checkedPasswords;
  bool hasPortAddress = true;
};

}  // namespace pagewire::job
