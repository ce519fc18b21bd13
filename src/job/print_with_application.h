// Printing a Quillora file through the application registered for it.
#pragma once

#include <string>

#include "platform/platform.h"

namespace pagewire::job {

// Above 32 when the file was handed to an application.
int PrintWithApplication(platform::Platform& platform, const std::string& printerName,
                         const std::string& filePath);

}  // namespace pagewire::job
