// A print command over the fakes, with scripted PDF query answers.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/fake_platform.h"
#include "job/run_print_job.h"

namespace pagewire::job {

struct QueryAnswers {
  int printDisable = 0;
  int passwd = 0;
  std::string password;  // the one that opens the file
};

class PrintCommandTest : public ::testing::Test {
 protected:
  PrintCommandTest() {
    fake.spooler.AddPrinter("Office", "Model 5 PS", "IP_10.0.0.7");
    target.printerName = "Office";
  }

  PrintCommandSummary Run(int interactive) {
    PdfQueries queries;
    queries.isPrintDisable = [this](const std::string& p) { return Answers(p).printDisable; };
    queries.isPdfPasswd = [this](const std::string& p) { return Answers(p).passwd; };
    queries.checkPdfPasswd = [this](const std::string& p, const std::string& pw) {
      checkedPasswords.push_back(pw);
      return pw == Answers(p).password ? 1 : 0;
    };
    PrintCommandServices services{fake.platform, fake.ui, queries, [this] { return hasPortAddress; }};
    return RunPrintJob(services, target, interactive);
  }

  QueryAnswers Answers(const std::string& path) {
    queriedPaths.push_back(path);
    return answers[path];
  }

  std::vector<std::string> Messages() const { return fake.ui.MessageTexts(); }
  std::vector<std::string> DocNames() const {
    std::vector<std::string> names;
    for (const auto& d : fake.spooler.documents) names.push_back(d.docName);
    return names;
  }

  fakes::FakePlatform fake;
  PrintTarget target;
  std::map<std::string, QueryAnswers> answers;
  std::vector<std::string> queriedPaths;
  std::vector<std::string> checkedPasswords;
  bool hasPortAddress = true;
};

}  // namespace pagewire::job
