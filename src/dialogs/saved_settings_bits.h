// Bit packing of the saved print settings' three REG_DWORD values.
#pragma once

#include <cstdint>

#include "settings/print_job_settings.h"

namespace pagewire::dialogs {

std::uint32_t PackPrintMode(const settings::PrintJobSettings& s);
std::uint32_t PackCopies(const settings::PrintJobSettings& s);
std::uint32_t PackPages(const settings::PrintJobSettings& s);

void UnpackPrintMode(std::uint32_t value, settings::PrintJobSettings& s);
// A clear colour or collation bit leaves its field as it was.
void UnpackCopies(std::uint32_t value, settings::PrintJobSettings& s);
void UnpackPages(std::uint32_t value, settings::PrintJobSettings& s);

}  // namespace pagewire::dialogs
