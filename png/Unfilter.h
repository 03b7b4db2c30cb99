#pragma once

#include <cstddef>
#include <cstdint>

namespace pix {

// Reverses the PNG row filter filterType in place. row and previous point at
// the first byte after the filter-type byte; previous is the reconstructed
// row above (all zeros for the first row of an image or Adam7 pass).
// bytesPerPixel is 1, 2, 3, 4, 6 or 8: the distance of the left neighbour.
// Filter types beyond 4 leave the row as it is.
void Unfilter(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t rowBytes, unsigned bytesPerPixel);

} // namespace pix
