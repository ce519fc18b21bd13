// What the command tells of chosen settings that a job does not carry as
// chosen: the program's own rules override them, or the PJL header has no
// value for them.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "settings/print_job_settings.h"

namespace pagewire::cli {

// One line per chosen setting (given or saved) that the job's settings
// override: 2-up and 4-up print on A4, a booklet on both sides of plain
// paper and every page. `header`: the job goes with the PJL header, which
// has no value for a media name beyond the paper sizes.
std::vector<std::string> OverriddenChoices(const SettingOverrides& chosen,
                                           const settings::PrintJobSettings& job, bool header);

}  // namespace pagewire::cli
