// The print command on real PDF files, with the real PDF queries. The fake
// file system names the files; the queries get the matching file on disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "job/password_crypt.h"
#include "print_command_fixture.h"

namespace pagewire::job {
namespace {

namespace fs = std::filesystem;

std::string MinimalPdf() {
  std::string body = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  const char* objects[] = {
      "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n",
      "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n",
      "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>\nendobj\n"};
  for (const char* object : objects) {
    offsets.push_back(body.size());
    body += object;
  }
  const std::size_t xref = body.size();
  body += "xref\n0 4\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    const std::string digits = std::to_string(offset);
    body += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
  }
  body += "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return body;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class RealPdf : public PrintCommandTest {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("pagewire_job_pdf_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "plain.pdf", std::ios::binary) << MinimalPdf();
    std::ofstream(dir_ / "broken.pdf", std::ios::binary) << "%PDF-1.4\nnot a pdf at all\n";
    const std::string plain = (dir_ / "plain.pdf").string();
#if defined(_WIN32)
    haveQpdf_ = false;  // the encrypted files are made with the host's qpdf
#else
    haveQpdf_ =
        std::system(("qpdf --allow-weak-crypto --encrypt secret owner 128 --use-aes=n -- " + plain + " " +
                     (dir_ / "locked.pdf").string() + " >/dev/null 2>&1").c_str()) == 0 &&
        std::system(("qpdf --allow-weak-crypto --encrypt '' owner 128 --use-aes=n --print=none -- " + plain + " " +
                     (dir_ / "noprint.pdf").string() + " >/dev/null 2>&1").c_str()) == 0;
#endif
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  // Names the disk file `name` as C:\docs\<name> in the fake file system.
  void UseFile(const std::string& name, const fs::path& dir = dir_) {
    const std::string fakePath = "C:\\docs\\" + name;
    fake.fileSystem.AddFile(fakePath, ReadAll(dir / name));
    path_ = fakePath;
    diskPaths_[fakePath] = (dir / name).string();
  }

  void RunReal(bool interactive) {
    const InspectPdf real = RealPdfInspection();
    InspectPdf mapped = [&](const std::string& p) { return real(diskPaths_.at(p)); };
    DialogDecisions decisions(fake.ui, dialogs);
    PrintCommandServices services{fake.platform, decisions, mapped, [] { return false; }};
    Job run = JobOf(path_, "Office");
    run.questions = interactive ? Questions::All : Questions::NeededOnly;
    RunPrintJob(services, run);
  }

  std::string path_;

  static fs::path dir_;
  static bool haveQpdf_;
  std::map<std::string, std::string> diskPaths_;
};

fs::path RealPdf::dir_;
bool RealPdf::haveQpdf_ = false;

TEST_F(RealPdf, PlainPdfPrintsWithoutQuestions) {
  UseFile("plain.pdf");
  RunReal(0);
  ASSERT_EQ(fake.printers.documents.size(), 1u);
  const std::string bytes = fake.printers.documents[0].Bytes();
  EXPECT_EQ(bytes.find("EPKY"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - MinimalPdf().size()), MinimalPdf());
  EXPECT_TRUE(fake.ui.messages.empty());
}

TEST_F(RealPdf, UnreadablePdfAsksFirst) {
  UseFile("broken.pdf");
  fake.ui.messageAnswers.push_back(platform::MessageAnswer::Cancel);
  RunReal(0);
  EXPECT_THAT(fake.ui.MessageTexts(),
              ::testing::ElementsAre(
                  "[broken.pdf] is not of a supported file format. Do you want to continue?"));
  EXPECT_TRUE(fake.printers.documents.empty());
}

TEST_F(RealPdf, ProtectedPdfTakesTheRightPasswordOnly) {
  if (!haveQpdf_) GTEST_SKIP() << "qpdf is not installed";
  UseFile("locked.pdf");
  dialogs.passwordAnswers.push_back({PasswordDlgResult::Ok, "wrong", {}});
  dialogs.passwordAnswers.push_back({PasswordDlgResult::Ok, "secret", {}});
  RunReal(0);
  EXPECT_THAT(fake.ui.MessageTexts(),
              ::testing::ElementsAre("Check the password you have just entered."));
  ASSERT_EQ(fake.printers.documents.size(), 1u);
  EXPECT_NE(fake.printers.documents[0].Bytes().find("@EPKY=FK"), std::string::npos);
}

// The password bytes the printer gets: the EPWD block decrypted under the
// fixed key, up to its zero fill; none without EPWD.
std::optional<std::string> SentPassword(const std::string& job) {
  const std::size_t at = job.find("@EPWD=");
  if (at == std::string::npos) return std::nullopt;
  DecryptedBlocks cipher{};
  for (std::size_t i = 0; i < kPasswordBlockSize; ++i) {
    cipher[i] = static_cast<std::uint8_t>(std::stoi(job.substr(at + 6 + 2 * i, 2), nullptr, 16));
  }
  const DecryptedBlocks plain = DecryptPasswordBlocks(cipher, kFixedPasswordKey);
  const std::string block(plain.begin(), plain.begin() + kPasswordBlockSize);
  return block.substr(0, block.find('\0'));
}

std::string FixturePassword(const std::string& file) {
  std::ifstream table(std::string(PAGEWIRE_SOURCE_DIR) + "/tests/pdf/fixtures/expected.tsv");
  std::string line;
  while (std::getline(table, line)) {
    const std::size_t from = file.size() + 1;
    if (line.starts_with(file + "\t")) return line.substr(from, line.find('\t', from) - from);
  }
  ADD_FAILURE() << file << " is not in expected.tsv";
  return {};
}

// The password that opened the file travels in the form its revision takes;
// one the password block cannot carry stops the file with a message. A
// destination without the header (IPP) is told the plain bytes, however long.
TEST_F(RealPdf, PasswordTravelsInTheFormThatOpenedTheFile) {
  struct Case {
    std::string file;
    std::string codePage;  // the dialog's two copies of the typed text
    std::string utf8;
    std::optional<std::string> sent;  // none: no job
    std::vector<std::string> messages;
    std::string plain;  // what a destination without the header is told
  };
  const std::string longUser = FixturePassword("r6_aes256_long_user.pdf");
  const std::vector<Case> cases = {
      {"r6_aes256_utf8.pdf", "p\xE4ssw\xF6rd", "p\xC3\xA4ssw\xC3\xB6rd",
       "p\xC3\xA4ssw\xC3\xB6rd", {}, "p\xC3\xA4ssw\xC3\xB6rd"},
      {"r6_aes256_long_user.pdf", longUser, longUser, std::nullopt,
       {"The password of [r6_aes256_long_user.pdf] is longer than 32 bytes and cannot be sent "
        "to the printer. The file is not printed."},
       longUser},
      // Revisions 2 to 4 count 32 bytes of the code-page text.
      {"r3_128.pdf", "user3", "user3", "user3", {}, "user3"},
      {"r3_128_long_user.pdf", "abcdefghijklmnopqrstuvwxyz012345++", "-",
       "abcdefghijklmnopqrstuvwxyz012345", {}, "abcdefghijklmnopqrstuvwxyz012345"},
      {"r4_aes128.pdf", "user4", "user4", "user4", {}, "user4"},
  };
  const fs::path fixtures = fs::path(PAGEWIRE_SOURCE_DIR) / "tests" / "pdf" / "fixtures";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    fake.printers.documents.clear();
    fake.ui.messages.clear();
    UseFile(c.file, fixtures);
    dialogs.passwordAnswers.push_back({PasswordDlgResult::Ok, c.codePage, {}, c.utf8});
    RunReal(0);
    EXPECT_EQ(fake.ui.MessageTexts(), c.messages);
    ASSERT_EQ(fake.printers.documents.size(), c.sent ? 1u : 0u);
    if (c.sent) {
      EXPECT_EQ(SentPassword(fake.printers.documents[0].Bytes()), c.sent);
      EXPECT_EQ(fake.printers.documents[0].password, std::nullopt);
    }

    fake.printers.documents.clear();
    fake.printers.takesJobHeader = false;
    dialogs.passwordAnswers.push_back({PasswordDlgResult::Ok, c.codePage, {}, c.utf8});
    RunReal(0);
    fake.printers.takesJobHeader = true;
    ASSERT_EQ(fake.printers.documents.size(), 1u);
    EXPECT_EQ(fake.printers.documents[0].password, c.plain);
    EXPECT_EQ(fake.printers.documents[0].Bytes(), ReadAll(fixtures / c.file));
  }
}

TEST_F(RealPdf, PrintDisabledPdfAsksAndOkPrints) {
  if (!haveQpdf_) GTEST_SKIP() << "qpdf is not installed";
  UseFile("noprint.pdf");
  RunReal(0);
  EXPECT_THAT(fake.ui.MessageTexts(),
              ::testing::ElementsAre(
                  "[noprint.pdf] is not of a supported file format. Do you want to continue?"));
  ASSERT_EQ(fake.printers.documents.size(), 1u);
  EXPECT_EQ(fake.printers.documents[0].Bytes().find("EPKY"), std::string::npos);
}

}  // namespace
}  // namespace pagewire::job
