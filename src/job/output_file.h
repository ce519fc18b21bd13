// The output file is a destination of the transport; the job's files name
// it here.
#pragma once

#include "transport/output_file.h"

namespace pagewire::job {

using transport::OutputFile;

}  // namespace pagewire::job
