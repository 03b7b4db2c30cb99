#include "platform/AvailableMemory.h"

#include <fstream>
#include <string>

namespace pix {

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

} // namespace pix
