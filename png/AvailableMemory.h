#pragma once

#include <cstdint>
#include <optional>

namespace pix {

// What the machine can give without swapping or killing the process, or
// nothing when the platform does not say. Linux overcommits, so a plain
// allocation may succeed and the process die later when its pages are
// touched: buffers sized from a file are compared with this first.
std::optional<uint64_t> AvailableMemoryBytes();

// True when bytes fit into what is available, or when that is unknown.
bool MemoryCanHold(uint64_t bytes);

} // namespace pix
