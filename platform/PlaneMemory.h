#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pix {

struct TPlaneDeleter {
    size_t bytes = 0;
    void operator()(uint8_t* plane) const;
};

// Zero-filled memory for one plane of a decoded image or bitmap.
using TPlane = std::unique_ptr<uint8_t[], TPlaneDeleter>;

// nullptr when the memory cannot be had, also when bytes do not fit the
// address space at all (a 32-bit size_t). Rows are written once, so the cost
// of a large plane is mostly the first touch of each page: large planes are
// taken straight from the system, whose fresh pages are zero already.
TPlane AllocatePlane(uint64_t bytes);

// Below this size the heap's own blocks serve as well as the system's pages.
inline constexpr size_t kSystemPlaneBytes = size_t{2} << 20;
// The platform's own pages for a plane of at least kSystemPlaneBytes,
// zero-filled; nullptr when the system refuses.
uint8_t* AllocateSystemPlane(size_t bytes);
void ReleaseSystemPlane(uint8_t* plane, size_t bytes);

} // namespace pix
