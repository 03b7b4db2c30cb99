#pragma once

#include "png/PngImage.h"

#include <cstdint>

namespace pix {

// Where the pixels of one unfiltered row go: image row y of the three
// planes, and the image columns the row's pixels stand at (first,
// first + step, ...; 0 and 1 for a plain row).
struct TRowTarget {
    uint8_t* data = nullptr;  // ImageData row
    uint8_t* alpha = nullptr; // ImageAlpha row, colour types 4 and 6
    uint8_t* extra = nullptr; // ExtraImageData row, bit depth 16
    uint32_t firstColumn = 0;
    uint32_t columnStep = 1;
};

// Converts pixels pixels of an unfiltered row of rowBytes bytes into the
// buffer layout. Bytes of 1-, 2- and 4-bit Adam7 targets must still be zero
// where the row's pixels go: they are combined in by OR.
using TRowConverter = void (*)(const uint8_t* row, uint32_t rowBytes, uint32_t pixels, const TRowTarget& target,
                               const TGammaTable& gamma);

// The converter for a colour type and bit depth in plain or Adam7 row
// order, for the image's gamma table as it stands; nullptr for the pairs the
// buffer cannot hold.
TRowConverter FindRowConverter(uint8_t colorType, uint8_t bitDepth, bool adam7, const TGammaTable& gamma);

} // namespace pix
