// The progress line on standard error, rewritten in place while a large
// file is read. A message ends it first, so that the two do not run
// together.
#pragma once

#include <string>

namespace pagewire::cli {

// Rewrites the progress line with `text`.
void ShowProgressLine(const std::string& text);
// Ends the progress line, if one is shown.
void EndProgressLine();

}  // namespace pagewire::cli
