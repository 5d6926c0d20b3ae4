#include "imageops/routines.h"

#include "platform/cpu.h"

namespace imageops {

bool _detectmmx() { return platform::queryCpu().mmx; }

} // namespace imageops
