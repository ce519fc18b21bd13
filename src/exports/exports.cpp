// The shared library's objects come from the static libraries it wraps; this
// file only gives the target a source of its own.
#include "pagewire/pagewire.h"
