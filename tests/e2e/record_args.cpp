// Rig stand-in for an application the shell starts: appends its command-line
// tail (everything after its own name, as the shell built it) as one line to
// the file named by RECORD_ARGS_FILE, then ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The command line past the program's own name, which may be quoted.
const char* CommandLineTail(const char* line) {
  if (*line == '"') {
    ++line;
    while (*line != '\0' && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line != '\0' && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

}  // namespace

int main() {
  const char* target = std::getenv("RECORD_ARGS_FILE");
  if (target == nullptr) return 2;
  FILE* file = std::fopen(target, "ab");
  if (file == nullptr) return 1;
  std::fprintf(file, "%s\n", CommandLineTail(GetCommandLineA()));
  return std::fclose(file) == 0 ? 0 : 1;
}
