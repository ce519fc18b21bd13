#include "cli/progress_line.h"

#include <cstdio>

namespace pagewire::cli {
namespace {

bool shown = false;

}  // namespace

void ShowProgressLine(const std::string& text) {
  std::fprintf(stderr, "\r%s", text.c_str());
  std::fflush(stderr);
  shown = true;
}

void EndProgressLine() {
  if (!shown) return;
  std::fputc('\n', stderr);
  shown = false;
}

}  // namespace pagewire::cli
