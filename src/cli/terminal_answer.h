// The answers typed at the command's questions.
#pragma once

#include <string>

namespace pagewire::cli {

// `answer` is `word` in any letter case, or its first letter alone. Bytes
// outside ASCII never match.
bool IsAnswer(const std::string& answer, const char* word);

}  // namespace pagewire::cli
