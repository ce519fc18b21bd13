// The quote handling shared by start-up and the print command.
#pragma once

#include <string>

namespace pagewire::job {

// Removes a closing double quote and then, only if one was removed, an
// opening one. "a" b" keeps its inner quotes; "a keeps its quote.
std::string StripOuterQuotes(std::string path);

}  // namespace pagewire::job
