#include "platform/AvailableMemory.h"

#include <windows.h>

#include <algorithm>

namespace pix {

std::optional<uint64_t> AvailableMemoryBytes()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return std::nullopt;
    // A 32-bit process can run out of address space before physical memory;
    // what is free of it is still fragmented, so the largest single block
    // decides in the end, and the allocation itself is checked as well.
    return std::min<uint64_t>(status.ullAvailPhys, status.ullAvailVirtual);
}

} // namespace pix
