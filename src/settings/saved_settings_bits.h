// Bit packing of the saved print settings' three 32-bit values ("PrintMode",
// "Copies", "Pages").
#pragma once

#include <cstdint>

#include "settings/print_job_settings.h"

namespace pagewire::settings {

std::uint32_t PackPrintMode(const PrintJobSettings& s);
std::uint32_t PackCopies(const PrintJobSettings& s);
std::uint32_t PackPages(const PrintJobSettings& s);

void UnpackPrintMode(std::uint32_t value, PrintJobSettings& s);
// A clear colour or collation bit leaves its field as it was.
void UnpackCopies(std::uint32_t value, PrintJobSettings& s);
void UnpackPages(std::uint32_t value, PrintJobSettings& s);

}  // namespace pagewire::settings
