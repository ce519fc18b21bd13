// The print command on real PDF files, with the real PDF queries. The fake
// file system names the files; the queries get the matching file on disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

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
  void UseFile(const std::string& name) {
    const std::string fakePath = "C:\\docs\\" + name;
    fake.fileSystem.AddFile(fakePath, ReadAll(dir_ / name));
    target.filePath = fakePath;
    diskPaths_[fakePath] = (dir_ / name).string();
  }

  void RunReal(int interactive) {
    const PdfQueries real = RealPdfQueries();
    PdfQueries mapped;
    mapped.isPrintDisable = [&](const std::string& p) { return real.isPrintDisable(diskPaths_.at(p)); };
    mapped.isPdfPasswd = [&](const std::string& p) { return real.isPdfPasswd(diskPaths_.at(p)); };
    mapped.checkPdfPasswd = [&](const std::string& p, const std::string& pw) {
      return real.checkPdfPasswd(diskPaths_.at(p), pw);
    };
    PrintCommandServices services{fake.platform, fake.ui, mapped, [] { return false; }};
    RunPrintJob(services, target, interactive);
  }

  static fs::path dir_;
  static bool haveQpdf_;
  std::map<std::string, std::string> diskPaths_;
};

fs::path RealPdf::dir_;
bool RealPdf::haveQpdf_ = false;

TEST_F(RealPdf, PlainPdfPrintsWithoutQuestions) {
  UseFile("plain.pdf");
  RunReal(0);
  ASSERT_EQ(fake.spooler.documents.size(), 1u);
  const std::string bytes = fake.spooler.documents[0].Bytes();
  EXPECT_EQ(bytes.find("EPKY"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - MinimalPdf().size()), MinimalPdf());
  EXPECT_TRUE(fake.ui.messages.empty());
}

TEST_F(RealPdf, UnreadablePdfAsksFirst) {
  UseFile("broken.pdf");
  fake.ui.messageAnswers.push_back(platform::kIdCancel);
  RunReal(0);
  EXPECT_THAT(fake.ui.MessageTexts(),
              ::testing::ElementsAre(
                  "[broken.pdf] is not of a supported file format. Do you want to continue?"));
  EXPECT_TRUE(fake.spooler.documents.empty());
}

TEST_F(RealPdf, ProtectedPdfTakesTheRightPasswordOnly) {
  if (!haveQpdf_) GTEST_SKIP() << "qpdf is not installed";
  UseFile("locked.pdf");
  fake.ui.passwordAnswers.push_back({platform::kIdOk, "wrong", {}});
  fake.ui.passwordAnswers.push_back({platform::kIdOk, "secret", {}});
  RunReal(0);
  EXPECT_THAT(fake.ui.MessageTexts(),
              ::testing::ElementsAre("Check the password you have just entered."));
  ASSERT_EQ(fake.spooler.documents.size(), 1u);
  EXPECT_NE(fake.spooler.documents[0].Bytes().find("@EPKY=FK"), std::string::npos);
}

TEST_F(RealPdf, PrintDisabledPdfAsksAndOkPrints) {
  if (!haveQpdf_) GTEST_SKIP() << "qpdf is not installed";
  UseFile("noprint.pdf");
  RunReal(0);
  EXPECT_THAT(fake.ui.MessageTexts(),
              ::testing::ElementsAre(
                  "[noprint.pdf] is not of a supported file format. Do you want to continue?"));
  ASSERT_EQ(fake.spooler.documents.size(), 1u);
  EXPECT_EQ(fake.spooler.documents[0].Bytes().find("EPKY"), std::string::npos);
}

}  // namespace
}  // namespace pagewire::job
