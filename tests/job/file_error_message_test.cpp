#include "job/file_error_message.h"

#include <gtest/gtest.h>

namespace pagewire::job {
namespace {

using platform::FileErrorCause;

TEST(FileErrorMessage, EveryCauseNamesTheFile) {
  const std::pair<FileErrorCause, const char*> table[] = {
      {FileErrorCause::None, "No error occurred."},
      {FileErrorCause::Generic, "An unknown error occurred while accessing C:\\f."},
      {FileErrorCause::FileNotFound, "C:\\f was not found."},
      {FileErrorCause::BadPath, "C:\\f contains an invalid path."},
      {FileErrorCause::TooManyOpenFiles, "C:\\f could not be opened because there are too many open files."},
      {FileErrorCause::AccessDenied, "Access to C:\\f was denied."},
      {FileErrorCause::InvalidFile, "An invalid file handle was associated with C:\\f."},
      {FileErrorCause::RemoveCurrentDir, "C:\\f could not be removed because it is the current directory."},
      {FileErrorCause::DirectoryFull, "C:\\f could not be created because the directory is full."},
      {FileErrorCause::BadSeek, "Seek failed on C:\\f"},
      {FileErrorCause::HardIo, "A hardware I/O error was reported while accessing C:\\f."},
      {FileErrorCause::SharingViolation, "A sharing violation occurred while accessing C:\\f."},
      {FileErrorCause::LockViolation, "A locking violation occurred while accessing C:\\f."},
      {FileErrorCause::DiskFull, "Disk full while accessing C:\\f."},
      {FileErrorCause::EndOfFile, "An attempt was made to access C:\\f past its end."},
      {static_cast<FileErrorCause>(99), "An unknown error occurred while accessing C:\\f."},
  };
  for (const auto& [cause, text] : table) EXPECT_EQ(FileErrorMessage(cause, "C:\\f"), text);
}

}  // namespace
}  // namespace pagewire::job
