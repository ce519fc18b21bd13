// Whether a printer's port has a network address recorded by its port
// monitor (then the password dialog offers the printer's MAC address).
#pragma once

#include <string>

#include "platform/platform.h"

namespace pagewire::app {

bool HasPortAddress(platform::Platform& platform, const std::string& printerName);

}  // namespace pagewire::app
