// A password typed in UTF-8 as PDFDocEncoding, the form in which PDF writers
// store a non-ASCII password of revisions 2 to 4 (ä is e4).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pagewire::cli {

// None when `utf8` is not UTF-8 or holds a character PDFDocEncoding lacks.
std::optional<std::string> Utf8ToPdfDocEncoding(std::string_view utf8);

}  // namespace pagewire::cli
