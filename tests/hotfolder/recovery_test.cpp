// Each state a crash can leave a file in, and what the restart does with it.
#include "hotfolder/recovery.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "hotfolder/hot_folder.h"

namespace pagewire::hotfolder {
namespace {

struct Case {
  std::optional<Step> last;
  Found where;
  Recovery wanted;
};

TEST(RecoveryTable, EachStateAtACrash) {
  const Case cases[] = {
      {std::nullopt, Found::Processing, Recovery::ReturnToFolder},  // claimed, not recorded
      {std::nullopt, Found::Elsewhere, Recovery::Nothing},
      {Step::Claimed, Found::Processing, Recovery::ReturnToFolder},  // prints once
      {Step::Claimed, Found::Elsewhere, Recovery::EndRecord},        // already back
      {Step::Sending, Found::Processing, Recovery::FailMayHavePrinted},
      {Step::Sending, Found::Elsewhere, Recovery::EndRecord},
      {Step::Sent, Found::Processing, Recovery::MoveToDone},
      {Step::Sent, Found::Elsewhere, Recovery::EndRecord},  // moved, not recorded
      {Step::Failed, Found::Processing, Recovery::FinishFailed},
      {Step::Failed, Found::Elsewhere, Recovery::EndRecord},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RecoveryFor(c.last, c.where), c.wanted)
        << (c.last ? StepName(*c.last) : "no record") << (c.where == Found::Processing ? " in processing/" : " elsewhere");
  }
}

// The table applied to a folder on the disk: a journal as a kill -9 leaves
// it, then a start.
class FolderOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/var/tmp/hotfolder-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

  std::string root_;
};

TEST_F(FolderOnDisk, EachFileEndsWhereItsLastRecordSays) {
  FolderSettings settings;
  settings.printer = "office";
  settings.path = root_;
  const FolderLayout layout(root_);
  std::string error;
  ASSERT_TRUE(PrepareLayout(layout, error)) << error;
  for (const char* name : {"claimed.pdf", "sending.pdf", "sent.pdf", "failed.pdf", "unrecorded.pdf"}) {
    Write(layout.processing + "/" + name, "%PDF-1.4 ");
  }
  // A name taken in the folder meanwhile is not overwritten on the way back.
  Write(root_ + "/claimed.pdf", "another");
  Write(layout.journal,
        "claimed\t0\tclaimed.pdf\t\n"
        "claimed\t0\tsending.pdf\t\nsending\t7\tsending.pdf\t\n"
        "claimed\t0\tsent.pdf\t\nsending\t8\tsent.pdf\t\nsent\t8\tsent.pdf\tprinted\n"
        "claimed\t0\tfailed.pdf\t\nfailed\t0\tfailed.pdf\tno room\n"
        "claimed\t0\tgone.pdf\t\ndone\t0\tgone.pdf\t\n"
        "sent\t9\tcut.pdf");  // a line cut short by the crash

  HotFolder folder(settings);
  ASSERT_TRUE(folder.Start(error)) << error;
  EXPECT_EQ(Read(root_ + "/claimed.pdf"), "another");
  EXPECT_TRUE(Exists(root_ + "/claimed-2.pdf"));
  EXPECT_TRUE(Exists(root_ + "/unrecorded.pdf"));
  EXPECT_EQ(Read(layout.failed + "/sending.pdf.reason"), std::string(kMayHavePrinted) + "\n");
  EXPECT_TRUE(Exists(layout.done + "/sent.pdf"));
  EXPECT_EQ(Read(layout.failed + "/failed.pdf.reason"), "no room\n");
  EXPECT_TRUE(std::filesystem::is_empty(layout.processing));

  // Every record has ended: a second start finds nothing to do.
  Journal journal;
  ASSERT_TRUE(journal.Open(layout.journal, layout.work, error)) << error;
  EXPECT_TRUE(journal.Open().empty());
}

}  // namespace
}  // namespace pagewire::hotfolder

namespace pagewire::hotfolder {
namespace {

// A scan of 2001 archived today is kept: age counts from the move into done/.
TEST_F(FolderOnDisk, PruningCountsFromTheMoveNotTheFilesOwnTime) {
  const std::string old = root_ + "/old.pdf";
  Write(old, "%PDF-1.4 ");
  const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, old.c_str(), times, 0), 0);
  ASSERT_EQ(mkdir((root_ + "/done").c_str(), 0750), 0);
  std::string placed, error;
  ASSERT_TRUE(MoveFile(root_, "old.pdf", root_ + "/done", "", placed, error)) << error;
  EXPECT_EQ(PruneOlderThan(root_ + "/done", std::time(nullptr) - 86400), 0);
  EXPECT_EQ(PruneOlderThan(root_ + "/done", std::time(nullptr) + 60), 1);
}

// A closed PDF that never gets its end marker fails after twenty settle
// times; a complete one beside it is claimed after one.
TEST_F(FolderOnDisk, APdfCutShortFailsInsteadOfWaitingForEver) {
  FolderSettings settings;
  settings.printer = "office";
  settings.path = root_;
  settings.settleSeconds = 1;
  Write(root_ + "/cut.pdf", "%PDF-1.4\n1 0 obj\n<< /Type /Catalog");
  Write(root_ + "/whole.pdf", "%PDF-1.4\ntrailer\n<< >>\n%%EOF\n");
  HotFolder folder(settings);
  std::string error;
  ASSERT_TRUE(folder.Start(error)) << error;
  const FolderLayout layout(root_);
  folder.Tick(100);
  folder.Tick(102);
  ASSERT_TRUE(folder.Next().has_value());
  EXPECT_EQ(folder.Next()->arrival.name, "whole.pdf");
  folder.Tick(118);
  EXPECT_TRUE(Exists(root_ + "/cut.pdf")) << "failed before twenty settle times";
  folder.Tick(121);
  EXPECT_FALSE(Exists(root_ + "/cut.pdf"));
  EXPECT_NE(Read(layout.failed + "/cut.pdf.reason").find("no %%EOF"), std::string::npos);
}

}  // namespace
}  // namespace pagewire::hotfolder
