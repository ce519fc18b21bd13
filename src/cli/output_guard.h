// The --output file must not be one of the files the command prints:
// writing it would destroy what is to be printed, or read the job back into
// itself. Checked before anything is opened for writing.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pagewire::cli {

// The message that refuses `output` ("-": standard output, when it is a
// file), or none when it is none of `inputs` (the same device and inode),
// and no folder among them would print it.
std::optional<std::string> OutputClash(const std::string& output,
                                       const std::vector<std::string>& inputs);

}  // namespace pagewire::cli
