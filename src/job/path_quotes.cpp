#include "job/path_quotes.h"

namespace pagewire::job {

std::string StripOuterQuotes(std::string path) {
  if (path.empty() || path.back() != '"') return path;
  path.pop_back();
  if (!path.empty() && path.front() == '"') path.erase(0, 1);
  return path;
}

}  // namespace pagewire::job
