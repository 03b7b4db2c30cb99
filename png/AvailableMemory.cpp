#include "png/AvailableMemory.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fstream>
#include <string>
#endif

namespace pix {

#if defined(_WIN32)

std::optional<uint64_t> AvailableMemoryBytes()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return std::nullopt;
    // A 32-bit process can run out of address space before physical memory.
    return status.ullAvailPhys < status.ullAvailVirtual ? status.ullAvailPhys : status.ullAvailVirtual;
}

#else

std::optional<uint64_t> AvailableMemoryBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    uint64_t kibibytes = 0;
    std::string unit;
    while (meminfo >> key >> kibibytes >> unit)
        if (key == "MemAvailable:")
            return kibibytes * 1024;
    return std::nullopt;
}

#endif

bool MemoryCanHold(uint64_t bytes)
{
    const std::optional<uint64_t> available = AvailableMemoryBytes();
    return !available || bytes <= *available;
}

} // namespace pix
