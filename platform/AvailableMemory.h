#pragma once

#include <cstdint>
#include <optional>

namespace pix {

// What the machine can give without swapping or killing the process, or
// nothing when the platform does not say. Linux overcommits, so a plain
// allocation may succeed and the process die later when its pages are
// touched; a 32-bit Windows process runs out of address space long before
// memory. Buffers sized from a file are compared with this first.
std::optional<uint64_t> AvailableMemoryBytes();

// True when bytes fit into the address space and into what is available,
// or into the address space when availability is unknown.
inline bool MemoryCanHold(uint64_t bytes)
{
    if (bytes > SIZE_MAX)
        return false;
    const std::optional<uint64_t> available = AvailableMemoryBytes();
    return !available || bytes <= *available;
}

} // namespace pix
