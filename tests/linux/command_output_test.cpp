// The command's --output file: never one of the files it prints, private
// while it may hold a password, and gone when nothing was written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/output_guard.h"
#include "platform/linux/linux_file_system.h"

namespace pagewire {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "pagewire-output-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string operator/(const char* name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(CommandOutput, AnOutputThatIsAnInputIsRefusedAndOneThatGotNothingIsRemoved) {
  TempFolder temp;
  const std::string pdf = temp / "same.pdf", folder = temp / "scans";
  std::ofstream(pdf) << "%PDF-1.4 the input";
  fs::create_directory(folder);
  fs::create_hard_link(pdf, folder + "/linked.PDF");
  std::ofstream(temp / "old.prn") << "old job";
  const struct {
    std::string output;
    std::vector<std::string> inputs;
    bool refused;
  } cases[] = {
      {pdf, {pdf}, true},
      {temp / "./same.pdf", {temp / "other.pdf", pdf}, true},
      {folder + "/linked.PDF", {folder}, true},  // a folder prints its PDFs
      {pdf, {folder}, true},                     // a name of the folder's file
      {folder + "/new.tif", {folder}, true},     // would be read as it is written
      {folder + "/job.prn", {folder}, false},
      {temp / "job.prn", {pdf, folder}, false},
      {temp / "old.prn", {pdf}, false},  // there already, but no input
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cli::OutputClash(c.output, c.inputs).has_value(), c.refused) << c.output;
  }
  EXPECT_EQ(ReadAll(pdf), "%PDF-1.4 the input");

  // Nothing written: a file made for the command goes, one that was there
  // keeps what it held and its mode.
  platform::FileErrorCause cause = platform::FileErrorCause::None;
  const std::string made = temp / "made.prn";
  ASSERT_TRUE(platform::LinuxOutputFile::Create(made, cause)->Close(cause));
  EXPECT_FALSE(fs::exists(made));
  const std::string kept = temp / "kept.prn";
  std::ofstream(kept) << "old job";
  chmod(kept.c_str(), 0640);
  ASSERT_TRUE(platform::LinuxOutputFile::Create(kept, cause)->Close(cause));
  EXPECT_EQ(ReadAll(kept), "old job");
  EXPECT_EQ(ModeOf(kept), 0640u);
}

TEST(CommandOutput, AJobFileIsItsOwnersOnlyFromItsCreationUnlessKnownToHoldNoPassword) {
  TempFolder temp;
  const mode_t mask = umask(022);
  for (const bool existed : {false, true}) {
    for (const bool noPassword : {false, true}) {
      const std::string path = temp / "job.prn";
      fs::remove(path);
      if (existed) {
        std::ofstream(path) << "an older and longer job";
        chmod(path.c_str(), 0644);
      }
      platform::FileErrorCause cause = platform::FileErrorCause::None;
      auto output = platform::LinuxOutputFile::Create(path, cause);
      ASSERT_TRUE(output);
      EXPECT_EQ(ModeOf(path), 0600u) << existed;
      ASSERT_TRUE(output->Write("@PJL EPWD", 9, cause));
      EXPECT_EQ(ModeOf(path), 0600u) << existed;
      if (noPassword) output->ShareMode();
      ASSERT_TRUE(output->Close(cause));
      EXPECT_EQ(ModeOf(path), noPassword ? 0644u : 0600u) << existed << noPassword;
      EXPECT_EQ(ReadAll(path), "@PJL EPWD");
    }
  }
  umask(mask);
}

}  // namespace
}  // namespace pagewire
