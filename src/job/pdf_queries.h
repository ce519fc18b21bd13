// The three PDF queries as the print command calls them. The real ones read
// the file at the given path; tests may map paths or replace them.
#pragma once

#include <functional>
#include <string>

namespace pagewire::job {

struct PdfQueries {
  std::function<int(const std::string& path)> isPrintDisable;
  std::function<int(const std::string& path)> isPdfPasswd;
  std::function<int(const std::string& path, const std::string& password)> checkPdfPasswd;
};

// The exported queries of the PDF reader (pdf_queries_real.cpp).
PdfQueries RealPdfQueries();

}  // namespace pagewire::job
