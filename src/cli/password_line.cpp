#include "cli/password_line.h"

#include <cerrno>

#include "job/password_crypt.h"

namespace pagewire::cli {

PasswordLine::~PasswordLine() { job::WipeSecret(text); }

PasswordLine ReadPasswordLine(std::FILE* in) {
  PasswordLine line;
  line.text.reserve(kPasswordLineMax + 1);  // no copies of it left behind by growth
  bool ended = false;
  for (;;) {
    const int c = std::getc(in);
    if (c == EOF) break;
    if (c == '\n') {
      ended = true;
      break;
    }
    // The bound is on the line without its line end, CR LF included.
    const bool crBeforeLineEnd = line.text.size() == kPasswordLineMax && c == '\r';
    if (line.text.size() >= kPasswordLineMax && !crBeforeLineEnd) {
      job::WipeSecret(line.text);
      line.status = PasswordLine::Status::TooLong;
      return line;
    }
    line.text.push_back(static_cast<char>(c));
  }
  if (std::ferror(in)) {
    line.error = errno;
    job::WipeSecret(line.text);
    line.status = PasswordLine::Status::Failed;
    return line;
  }
  if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
  line.status = ended || !line.text.empty() ? PasswordLine::Status::Line
                                            : PasswordLine::Status::NoLine;
  return line;
}

void SkipLine(std::FILE* in) {
  for (int c = std::getc(in); c != EOF && c != '\n'; c = std::getc(in)) {
  }
}

}  // namespace pagewire::cli
