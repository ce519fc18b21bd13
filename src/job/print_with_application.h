// Printing a Quillora file through the application registered for it.
#pragma once

#include <string>

#include "platform/platform.h"

namespace pagewire::job {

// Whether the file was handed to an application: the one associated with
// it, to print on `printerName`, or, when that printer cannot be read, the
// system's to print on the default printer.
bool PrintWithApplication(platform::Platform& platform, const std::string& printerName,
                          const std::string& filePath);

}  // namespace pagewire::job
