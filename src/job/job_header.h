// The job header is written by the transport; the job's files name it here.
#pragma once

#include "transport/pjl_header.h"

namespace pagewire::job {

using transport::CollectJobComments;
using transport::JobComments;
using transport::JobHeaderFacts;
using transport::JobHeaderPieces;
using transport::KeyMode;

}  // namespace pagewire::job
