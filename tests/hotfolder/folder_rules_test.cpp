// What a folder takes and how its records and settings are kept.
#include <gtest/gtest.h>

#include "hotfolder/file_checks.h"
#include "hotfolder/folder_settings.h"
#include "hotfolder/journal.h"

namespace pagewire::hotfolder {
namespace {

TEST(FolderRules, IgnoredNames) {
  const std::pair<const char*, bool> cases[] = {
      {"report.pdf", false}, {".report.pdf", true}, {"~report.pdf", true},  {"report.pdf.part", true},
      {"report.TMP", true},  {"Thumbs.db", true},   {"thumbs.db", true},    {"desktop.ini", true},
      {".DS_Store", true},   {"@eaDir", true},      {"report.part.pdf", false}, {"a~b.pdf", false},
  };
  for (const auto& [name, ignored] : cases) EXPECT_EQ(IsIgnoredName(name), ignored) << name;
}

TEST(FolderRules, KindOfFirstBytes) {
  const std::pair<std::string, Kind> cases[] = {
      {"%PDF-1.7\n", Kind::Pdf},
      {std::string("II*\0", 4), Kind::Tiff},
      {std::string("MM\0*", 4), Kind::Tiff},
      {"%!PS-Adobe", Kind::Other},
      {"%PDF", Kind::Other},  // no version: not the start of a PDF
      {"", Kind::Empty},
  };
  for (const auto& [bytes, kind] : cases) EXPECT_EQ(KindOf(bytes), kind) << bytes;
}

TEST(FolderRules, RecordsKeepAnyName) {
  const Record record{Step::Sent, "50% off\tflyer\n.pdf", 12, "printed, 2 impressions"};
  const std::optional<Record> back = ParseRecord(FormatRecord(record).substr(0, FormatRecord(record).size() - 1));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->name, record.name);
  EXPECT_EQ(back->jobId, 12);
  EXPECT_EQ(back->detail, record.detail);
  for (const char* bad : {"", "sent\t1\t", "sent\tx\ta.pdf\t", "nonsense\t1\ta.pdf\t",
                          "sent\t1\ta%2.pdf\t", "sent\t1\ta%-1.pdf\t"}) {
    EXPECT_FALSE(ParseRecord(bad)) << bad;
  }
}

TEST(FolderRules, FolderFileKeepsEachSetting) {
  FolderSettings folder;
  std::string error;
  for (const auto& [name, value] : {std::pair<std::string, std::string>{"printer", "office"},
                                    {"path", "/srv/scans in/"},
                                    {"copies", "2"},
                                    {"print-quality", "high"},
                                    {"password-file", "/etc/pagewire/scan.pw"},
                                    {"settle-time", "5"},
                                    {"claim-ahead", "8"}}) {
    ASSERT_TRUE(SetFolderOption(folder, name, value, error)) << error;
  }
  std::vector<FolderSettings> back;
  ASSERT_TRUE(ParseFolders(FormatFolders({folder}), back, error)) << error;
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].path, "/srv/scans in");
  EXPECT_EQ(FormatFolders(back), FormatFolders({folder}));
  EXPECT_EQ(back[0].job[1], (std::pair<std::string, std::string>{"print-quality", "5"}));

  const std::pair<const char*, const char*> refused[] = {
      {"path", "relative/dir"}, {"settle-time", "0"}, {"claim-ahead", "x"}, {"colour", "yes"}};
  for (const auto& [name, value] : refused) EXPECT_FALSE(SetFolderOption(folder, name, value, error)) << name;
  EXPECT_FALSE(ParseFolders("printer=office\n", back, error));
}

}  // namespace
}  // namespace pagewire::hotfolder
