// File classes, decided from the lower-cased path.
#pragma once

#include <string>

namespace pagewire::job {

// In the order of the folder passes and of the class advance.
enum class FileClass { Pdf, Quillora, Tiff, Other };

// The first of ".pdf", ".qlr", ".tif" found anywhere in the path decides.
FileClass ClassOfPath(const std::string& path);

}  // namespace pagewire::job
