#include "cli/terminal_answer.h"

#include <strings.h>

#include <cctype>

namespace pagewire::cli {

bool IsAnswer(const std::string& answer, const char* word) {
  if (strcasecmp(answer.c_str(), word) == 0) return true;
  // <cctype> takes an unsigned char's value: a plain char above 0x7F is negative.
  return answer.size() == 1 &&
         std::tolower(static_cast<unsigned char>(answer[0])) == static_cast<unsigned char>(word[0]);
}

}  // namespace pagewire::cli
