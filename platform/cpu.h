#pragma once
// What the processor reports about itself.
#include <string>

namespace platform {

struct CpuInfo {
    std::string vendor; // the 12-character vendor string, e.g. "GenuineIntel"
    bool fpu = false;   // function 1, EDX bit 0
    bool mmx = false;   // function 1, EDX bit 23
};

// Asks the processor (CPUID functions 0 and 1).
CpuInfo queryCpu();

} // namespace platform
