#include "platform/cpu.h"

#include <cpuid.h>

#include <cstring>

namespace platform {

CpuInfo queryCpu()
{
    CpuInfo info;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx))
        return info;
    char vendor[13];
    std::memcpy(vendor + 0, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    vendor[12] = '\0';
    info.vendor = vendor;
    if (eax >= 1 && __get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        info.fpu = (edx & (1u << 0)) != 0;
        info.mmx = (edx & (1u << 23)) != 0;
    }
    return info;
}

} // namespace platform
