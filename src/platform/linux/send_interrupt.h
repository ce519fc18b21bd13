// The interrupt of a send belongs to the transport; the command's terminal
// side names it here.
#pragma once

#include "transport/send_interrupt.h"

namespace pagewire::platform {

using transport::SendInterruptSignal;

}  // namespace pagewire::platform
