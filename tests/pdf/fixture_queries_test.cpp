// Runs the three PDF queries on the qpdf-made fixtures and checks every row
// of fixtures/expected.tsv.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pagewire/pagewire.h"

namespace {

const std::string kFixtureDir = std::string(PAGEWIRE_SOURCE_DIR) + "/tests/pdf/fixtures/";
const char kWrongPassword[] = "wrong";

struct FixtureRow {
  std::string file;
  std::string user;
  std::string owner;
  int isPasswd = 0;
  int printDisable = 0;
  int checkUser = 0;
  int checkOwner = 0;
  int checkWrong = 0;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

// Answers are only ever -1, 0 or 1; anything else is a broken table.
int ParseAnswer(const std::string& text) {
  if (text == "-1") return -1;
  if (text == "0") return 0;
  if (text == "1") return 1;
  ADD_FAILURE() << "bad answer in expected.tsv: '" << text << "'";
  return 99;
}

std::vector<FixtureRow> LoadRows() {
  std::ifstream in(kFixtureDir + "expected.tsv");
  EXPECT_TRUE(in) << "cannot open expected.tsv";
  std::vector<FixtureRow> rows;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) { header = false; continue; }
    const std::vector<std::string> f = SplitTabs(line);
    if (f.size() != 8) {
      ADD_FAILURE() << "expected 8 fields: " << line;
      continue;
    }
    rows.push_back({f[0], f[1], f[2], ParseAnswer(f[3]), ParseAnswer(f[4]),
                    ParseAnswer(f[5]), ParseAnswer(f[6]), ParseAnswer(f[7])});
  }
  return rows;
}

const FixtureRow* FindRow(const std::vector<FixtureRow>& rows, const std::string& file) {
  for (const FixtureRow& row : rows)
    if (row.file == file) return &row;
  return nullptr;
}

TEST(FixtureQueries, TableCoversEveryMode) {
  EXPECT_GE(LoadRows().size(), 15u);
}

TEST(FixtureQueries, EveryRowMatches) {
  for (const FixtureRow& row : LoadRows()) {
    SCOPED_TRACE(row.file);
    const std::string path = kFixtureDir + row.file;
    EXPECT_EQ(IsPDFPasswd(path.c_str()), row.isPasswd);
    EXPECT_EQ(IsPrintDisable(path.c_str()), row.printDisable);
    EXPECT_EQ(CheckPDFPasswd(path.c_str(), row.user.c_str()), row.checkUser);
    EXPECT_EQ(CheckPDFPasswd(path.c_str(), row.owner.c_str()), row.checkOwner);
    EXPECT_EQ(CheckPDFPasswd(path.c_str(), kWrongPassword), row.checkWrong);
  }
}

TEST(FixtureQueries, NullPasswordEqualsEmpty) {
  for (const FixtureRow& row : LoadRows()) {
    SCOPED_TRACE(row.file);
    const std::string path = kFixtureDir + row.file;
    EXPECT_EQ(CheckPDFPasswd(path.c_str(), nullptr), CheckPDFPasswd(path.c_str(), ""));
  }
}

// The same answers come back when a query runs again on the same file.
TEST(FixtureQueries, RepeatedQueriesAgree) {
  const std::string path = kFixtureDir + "r3_128.pdf";
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(CheckPDFPasswd(path.c_str(), "user3"), 1);
    EXPECT_EQ(CheckPDFPasswd(path.c_str(), "user"), 0);
  }
}

// Only the first 32 bytes of a password count.
TEST(FixtureQueries, BytesAfterThe32ndAreIgnored) {
  const std::vector<FixtureRow> rows = LoadRows();
  const FixtureRow* row = FindRow(rows, "r3_128_long_user.pdf");
  ASSERT_NE(row, nullptr);
  ASSERT_EQ(row->user.size(), 32u);
  const std::string path = kFixtureDir + row->file;
  EXPECT_EQ(CheckPDFPasswd(path.c_str(), (row->user + "01234567").c_str()), 1);
  EXPECT_EQ(CheckPDFPasswd(path.c_str(), (row->user + "zzzzzzzz").c_str()), 1);
  // One byte short of the user password is not the user password.
  EXPECT_EQ(CheckPDFPasswd(path.c_str(), row->user.substr(0, 31).c_str()), 0);
  // A short user password with a tail is a different, padded password.
  const std::string shortPath = kFixtureDir + "r3_128.pdf";
  EXPECT_EQ(CheckPDFPasswd(shortPath.c_str(), "user3 "), 0);
  EXPECT_EQ(CheckPDFPasswd(shortPath.c_str(), "user"), 0);
}

// AES-256 files take the password bytes as given, unnormalised, and only
// their first 127 bytes.
TEST(FixtureQueries, AesPasswordsAreTheirFirst127BytesAsGiven) {
  const std::string utf8 = kFixtureDir + "r6_aes256_utf8.pdf";
  EXPECT_EQ(CheckPDFPasswd(utf8.c_str(), "p\xC3\xA4ssw\xC3\xB6rd"), 1);  // NFC
  EXPECT_EQ(CheckPDFPasswd(utf8.c_str(), "pa\xCC\x88sswo\xCC\x88rd"), 0);  // NFD
  EXPECT_EQ(CheckPDFPasswd(utf8.c_str(), "p\xE4ssw\xF6rd"), 0);  // Latin-1
  const std::vector<FixtureRow> rows = LoadRows();
  const FixtureRow* row = FindRow(rows, "r6_aes256_long_user.pdf");
  ASSERT_NE(row, nullptr);
  ASSERT_EQ(row->user.size(), 127u);
  const std::string path = kFixtureDir + row->file;
  EXPECT_EQ(CheckPDFPasswd(path.c_str(), (row->user + "tail").c_str()), 1);
  EXPECT_EQ(CheckPDFPasswd(path.c_str(), row->user.substr(0, 126).c_str()), 0);
}

TEST(FixtureQueries, MissingFileFailsEveryQuery) {
  const std::string path = kFixtureDir + "no_such_file.pdf";
  EXPECT_EQ(IsPDFPasswd(path.c_str()), -1);
  EXPECT_EQ(IsPrintDisable(path.c_str()), -1);
  EXPECT_EQ(CheckPDFPasswd(path.c_str(), "user3"), -1);
}

}  // namespace
