#include "job/print_with_application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace pagewire::job {
namespace {

class PrintWithApplicationTest : public ::testing::Test {
 protected:
  PrintWithApplicationTest() {
    fake.shell.associations["C:\\DOCS\\PLAN.QLR"] = "C:\\Quillora\\quillora.exe";
    fake.printers.AddPrinter("Office A", "Model 5 PS", "IP_10.0.0.7");
  }
  fakes::FakePlatform fake;
};

TEST_F(PrintWithApplicationTest, StartsTheApplicationWithPrintToLine) {
  EXPECT_EQ(PrintWithApplication(fake.platform, "Office A", "C:\\DOCS\\PLAN.QLR"), 42);
  ASSERT_EQ(fake.shell.executed.size(), 1u);
  const auto& call = fake.shell.executed[0];
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.file, "C:\\Quillora\\quillora.exe");
  EXPECT_EQ(call.parameters, "C:\\DOCS\\PLAN.QLR /pt \"Office A\" \"Model 5 PS\" IP_10.0.0.7");
  EXPECT_EQ(call.show, platform::ShowCommand::Normal);
  EXPECT_TRUE(fake.ui.messages.empty());
}

TEST_F(PrintWithApplicationTest, NoAssociationReturnsTheShellResult) {
  EXPECT_EQ(PrintWithApplication(fake.platform, "Office A", "C:\\other.qlr"), 31);
  EXPECT_TRUE(fake.shell.executed.empty());
}

TEST_F(PrintWithApplicationTest, LongPrintToLineIsNotCut) {
  const std::string printer(300, 'p');
  fake.printers.AddPrinter(printer, "D", "P");
  PrintWithApplication(fake.platform, printer, "C:\\DOCS\\PLAN.QLR");
  EXPECT_EQ(fake.shell.executed.at(0).parameters,
            "C:\\DOCS\\PLAN.QLR /pt \"" + printer + "\" \"D\" P");
}

struct DefaultPrinterCase {
  const char* name;
  platform::MessageAnswer answer;
  const char* device;
  const char* printer;
};

class DefaultPrinterPath : public PrintWithApplicationTest,
                           public ::testing::WithParamInterface<DefaultPrinterCase> {};

TEST_P(DefaultPrinterPath, ShowsTheJapaneseMessageAndPrintsAnyway) {
  fake.systemFacts.profile["windows/device"] = GetParam().device;
  fake.ui.messageAnswers.push_back(GetParam().answer);
  EXPECT_EQ(PrintWithApplication(fake.platform, "Gone", "C:\\DOCS\\PLAN.QLR"), 42);
  ASSERT_EQ(fake.ui.messages.size(), 1u);
  const auto& message = fake.ui.messages[0];
  EXPECT_EQ(message.buttons, platform::MessageButtons::OkCancel);
  // "Quilloraファイルは標準プリンタ「" + name + "」で印刷します" in UTF-8, the name as system text.
  const std::string lead = reinterpret_cast<const char*>(u8"Quilloraファイルは標準プリンタ「");
  const std::string tail = reinterpret_cast<const char*>(u8"」で印刷します");
  EXPECT_EQ(message.Text(), lead + GetParam().printer + tail);
  const auto& runs = message.text.Runs();
  ASSERT_EQ(runs.size(), std::string(GetParam().printer).empty() ? 1u : 3u);
  EXPECT_EQ(runs.front().encoding, platform::TextEncoding::Utf8);
  if (runs.size() == 3) {
    EXPECT_EQ(runs[1], (platform::TextRun{GetParam().printer, platform::TextEncoding::SystemCodePage}));
  }
  const auto& call = fake.shell.executed.at(0);
  EXPECT_EQ(call.verb, "print");
  EXPECT_EQ(call.file, "C:\\DOCS\\PLAN.QLR");
  EXPECT_EQ(call.parameters, "");
  EXPECT_EQ(call.show, platform::ShowCommand::Hidden);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DefaultPrinterPath,
    ::testing::Values(DefaultPrinterCase{"Ok", platform::MessageAnswer::Ok, "Laser 9,winspool,Ne00:", "Laser 9"},
                      DefaultPrinterCase{"Cancel", platform::MessageAnswer::Cancel, "Laser 9,winspool,Ne00:", "Laser 9"},
                      DefaultPrinterCase{"NoComma", platform::MessageAnswer::Ok, "Laser 9", ""},
                      DefaultPrinterCase{"CodePageName", platform::MessageAnswer::Ok, "\x83\x76\x83\x8A,x,y", "\x83\x76\x83\x8A"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace pagewire::job
