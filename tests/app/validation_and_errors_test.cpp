// The data exchange's validation and the Win32 error to file-error cause
// mapping.
#include <gtest/gtest.h>

#include "app/validation_messages.h"
#include "platform/win32/win32_error_cause.h"

namespace pagewire::app {
namespace {

TEST(ParseInteger, AcceptsWholeNumbersAndRejectsTheRest) {
  const std::pair<const char*, std::optional<long long>> cases[] = {
      {"42", 42},
      {"  -7 ", -7},
      {"+3", 3},
      {"9223372036854775807", 9223372036854775807LL},
      {"-9223372036854775808", std::numeric_limits<long long>::min()},
      {"9223372036854775808", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"1x", std::nullopt},
      {"1 2", std::nullopt},
      {"0x10", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParseInteger(text), expected) << text;
}

TEST(Validation, GivesTheFrameworkMessages) {
  EXPECT_TRUE(ValidatePositiveInteger("0").ok);
  EXPECT_EQ(ValidatePositiveInteger("-1").message, "Please enter a positive integer.");
  EXPECT_EQ(ValidatePositiveInteger("abc").message, "Please enter a positive integer.");
  EXPECT_EQ(ValidateIntegerInRange("1000", 1, 999).message,
            "Please enter an integer between 1 and 999.");
  EXPECT_EQ(ValidateIntegerInRange("5", 1, 999).value, 5);
  EXPECT_EQ(EnterNoMoreThanMessage(32), "Please enter no more than 32 characters.");
  EXPECT_TRUE(TextFits("abc", 3));
  EXPECT_FALSE(TextFits("abcd", 3));
}

TEST(FileErrorCauseOf, MapsWin32ErrorsToTheCauseNumbers) {
  using platform::FileErrorCause;
  using platform::win32::FailureCauseOf;
  using platform::win32::FileErrorCauseOf;
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

}  // namespace
}  // namespace pagewire::app
