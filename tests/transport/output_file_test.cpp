// The output file: every document of a command into one file, and a failed
// write or close told as the file's.
#include "transport/output_file.h"

#include <gtest/gtest.h>

#include "fakes/fake_system.h"

namespace pagewire::transport {
namespace {

using platform::FileErrorCause;
using Kind = platform::SendFailure::Kind;

TEST(OutputFile, DocumentsFollowEachOtherAndAFailureNamesTheFile) {
  fakes::FakeFileSystem files;
  FileErrorCause cause = FileErrorCause::None;
  OutputFile output(files.CreateOutputFile("out.prn", cause), "out.prn");
  for (const char* text : {"one", "two"}) {
    const auto document = output.StartDocument({});
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->Write(text, 3));
    EXPECT_TRUE(document->Commit());
    EXPECT_EQ(document->JobId(), "");
    std::optional<platform::PrinterEnd> end = platform::PrinterEnd{};
    EXPECT_TRUE(document->AwaitEnd(end));
    EXPECT_FALSE(end);
  }
  EXPECT_EQ(files.written["out.prn"], "onetwo");

  files.writeFailure = FileErrorCause::DiskFull;
  const auto document = output.StartDocument({});
  ASSERT_TRUE(document);
  EXPECT_FALSE(document->Write("x", 1));
  EXPECT_EQ(document->Failure().kind, Kind::File);
  EXPECT_EQ(document->Failure().file.cause, FileErrorCause::DiskFull);
  EXPECT_EQ(document->Failure().file.path, "out.prn");

  EXPECT_FALSE(output.Close(cause));
  EXPECT_EQ(cause, FileErrorCause::DiskFull);
  EXPECT_EQ(files.closedOutputs, 1);
  // Closed, it takes no more documents, and closes once.
  EXPECT_FALSE(output.StartDocument({}));
  EXPECT_EQ(output.StartFailure().kind, Kind::File);
  EXPECT_EQ(output.StartFailure().file.path, "out.prn");
  EXPECT_TRUE(output.Close(cause));
  EXPECT_EQ(files.closedOutputs, 1);
}

}  // namespace
}  // namespace pagewire::transport
