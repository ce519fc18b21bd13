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

}  // namespace pagewire::job
