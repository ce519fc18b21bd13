// File classes, decided from the lower-cased path, or where a caller asks
// for it, from a file's first bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pagewire::job {

// In the order of the folder passes and of the class advance.
enum class FileClass { Pdf, Quillora, Tiff, Other };

// The first of ".pdf", ".qlr", ".tif" found anywhere in the path decides.
FileClass ClassOfPath(const std::string& path);

// The most first bytes ClassOfLeadingBytes looks at.
inline constexpr std::size_t kLeadingBytesNeeded = 5;

// Pdf for "%PDF-", Tiff for either byte order mark ("II*\0", "MM\0*"),
// Other for anything else.
FileClass ClassOfLeadingBytes(std::string_view head);

}  // namespace pagewire::job
