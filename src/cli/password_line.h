// The first line of a password source, read within a bound: a file or a
// pipe without a line end (/dev/zero) is not read to its end.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace pagewire::cli {

// The longest password line taken; IPP's document-password takes 1,023
// bytes, and more than this is no password.
inline constexpr std::size_t kPasswordLineMax = 4096;

struct PasswordLine {
  enum class Status {
    Line,     // `text` holds it, without its line end
    NoLine,   // the input ended before a byte
    TooLong,  // more than kPasswordLineMax bytes before a line end
    Failed,   // `error` holds errno
  };
  Status status = Status::NoLine;
  std::string text;
  int error = 0;

  ~PasswordLine();
};

// Reads at most kPasswordLineMax + 1 bytes of `in`, up to a line end.
PasswordLine ReadPasswordLine(std::FILE* in);

// Reads `in` up to and past the next line end, keeping nothing.
void SkipLine(std::FILE* in);

}  // namespace pagewire::cli
