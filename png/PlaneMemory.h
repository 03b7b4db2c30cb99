#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pix {

struct TPlaneDeleter {
    size_t bytes = 0;
    void operator()(uint8_t* plane) const;
};

// Zero-filled memory for one plane of a decoded image.
using TPlane = std::unique_ptr<uint8_t[], TPlaneDeleter>;

// nullptr when the memory cannot be had. Rows are written once, so the cost
// of a large plane is mostly the first touch of each page: on Linux large
// planes are mapped with transparent huge pages, one fault per 2 MiB
// instead of per 4 KiB.
TPlane AllocatePlane(size_t bytes);

} // namespace pix
