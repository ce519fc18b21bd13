// The dialog framework's field checks, the file chooser filter, the Win32
// error to file-error cause mapping and the spooler's whole writes.
#include <gtest/gtest.h>

#include "platform/field_validation.h"
#include "platform/file_chooser_filter.h"
#include "platform/win32/whole_write.h"
#include "platform/win32/win32_error_cause.h"

namespace pagewire::platform {
namespace {

TEST(ParseUnsignedField, TakesDigitsBetweenBlanksOnly) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"42", 42},         {" \t12 ", 12},   {"2147483647", 2147483647},
      {"2147483648", std::nullopt}, {"", std::nullopt}, {"  ", std::nullopt},
      {"-1", std::nullopt}, {"-0", std::nullopt}, {"+3", std::nullopt},
      {"1x", std::nullopt}, {"1 2", std::nullopt}, {"0x10", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParseUnsignedField(text), expected) << text;
}

TEST(FilterWithNulSeparators, EndsWithADoubleNul) {
  using namespace std::string_literals;
  EXPECT_EQ(FilterWithNulSeparators("PDF (*.pdf)|*.pdf|All (*.*)|*.*||"),
            "PDF (*.pdf)\0*.pdf\0All (*.*)\0*.*\0\0\0\0"s);
  EXPECT_EQ(FilterWithNulSeparators("A|*.a"), "A\0*.a\0\0"s);
}

TEST(FileErrorCauseOf, MapsWin32ErrorsToTheCauseNumbers) {
  using win32::FailureCauseOf;
  using win32::FileErrorCauseOf;
  const std::pair<std::uint32_t, FileErrorCause> cases[] = {
      {0, FileErrorCause::None},          {2, FileErrorCause::FileNotFound},
      {3, FileErrorCause::BadPath},       {123, FileErrorCause::BadPath},
      {4, FileErrorCause::TooManyOpenFiles}, {5, FileErrorCause::AccessDenied},
      {6, FileErrorCause::InvalidFile},   {16, FileErrorCause::RemoveCurrentDir},
      {18, FileErrorCause::DirectoryFull}, {25, FileErrorCause::BadSeek},
      {31, FileErrorCause::HardIo},       {32, FileErrorCause::SharingViolation},
      {33, FileErrorCause::LockViolation}, {112, FileErrorCause::DiskFull},
      {38, FileErrorCause::EndOfFile},    {9999, FileErrorCause::Generic},
  };
  for (const auto& [code, cause] : cases) EXPECT_EQ(FileErrorCauseOf(code), cause) << code;
  // A failure never reads as "no error".
  EXPECT_EQ(FailureCauseOf(0), FileErrorCause::Generic);
  EXPECT_EQ(FailureCauseOf(5), FileErrorCause::AccessDenied);
}

// A write the system takes in parts goes on with the rest, never losing a
// byte; one that takes nothing is a failure, not an endless loop.
TEST(WriteWhole, ShortWritesAreCompletedAndAWriteOfNothingFails) {
  const std::string data = "@PJL SET COPIES=1\n%PDF-1.4";
  for (std::uint32_t limit : {1u, 7u, 1000u}) {
    std::string taken;
    EXPECT_TRUE(win32::WriteWhole(data.data(), data.size(), [&](const unsigned char* bytes,
                                                              std::uint32_t length,
                                                              std::uint32_t& written) {
      written = std::min(length, limit);
      taken.append(reinterpret_cast<const char*>(bytes), written);
      return true;
    }));
    EXPECT_EQ(taken, data) << limit;
  }
  int calls = 0;
  EXPECT_FALSE(win32::WriteWhole(data.data(), data.size(),
                                 [&](const unsigned char*, std::uint32_t, std::uint32_t& written) {
                                   written = 0;
                                   return ++calls < 5;
                                 }));
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace pagewire::platform
