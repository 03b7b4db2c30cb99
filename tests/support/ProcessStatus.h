#pragma once

// What a test may ask about its own process: whether AddressSanitizer is
// built in (it reserves terabytes of address space and keeps freed memory
// in a quarantine, so memory figures mean something else under it), and
// the memory figures of /proc/self/status.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

namespace pix::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// A "Vm..." line of /proc/self/status in KiB, e.g. "VmRSS:" (resident now)
// or "VmHWM:" (peak resident); 0 where there is no such file.
inline uint64_t StatusKibibytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stoull(line.substr(std::strlen(key)));
    return 0;
}

} // namespace pix::testing
