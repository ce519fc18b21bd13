#include "job/file_class.h"

#include <algorithm>

namespace pagewire::job {

FileClass ClassOfPath(const std::string& path) {
  std::string lower = path;
  // ASCII only: lead bytes of double-byte characters stay as they are.
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  });
  if (lower.find(".pdf") != std::string::npos) return FileClass::Pdf;
  if (lower.find(".qlr") != std::string::npos) return FileClass::Quillora;
  if (lower.find(".tif") != std::string::npos) return FileClass::Tiff;
  return FileClass::Other;
}

FileClass ClassOfLeadingBytes(std::string_view head) {
  using namespace std::string_view_literals;
  if (head.substr(0, 5) == "%PDF-"sv) return FileClass::Pdf;
  const std::string_view mark = head.substr(0, 4);
  if (mark == "II*\0"sv || mark == "MM\0*"sv) return FileClass::Tiff;
  return FileClass::Other;
}

}  // namespace pagewire::job
