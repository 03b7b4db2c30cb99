#pragma once

#include <cstdint>

namespace pix {

// PNG stores every multi-byte number most significant byte first.
inline uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

} // namespace pix
