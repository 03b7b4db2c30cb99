#include "png/Unfilter.h"

#include <cstdlib>

namespace pix {

namespace {

enum : uint8_t { kFilterNone = 0, kFilterSub = 1, kFilterUp = 2, kFilterAverage = 3, kFilterPaeth = 4 };

// Ties go to left, then up, then upper-left.
inline uint8_t PaethPredictor(int left, int up, int upperLeft)
{
    const int toLeft = std::abs(up - upperLeft);
    const int toUp = std::abs(left - upperLeft);
    const int toUpperLeft = std::abs(left + up - 2 * upperLeft);
    if (toLeft <= toUp && toLeft <= toUpperLeft)
        return static_cast<uint8_t>(left);
    return static_cast<uint8_t>(toUp <= toUpperLeft ? up : upperLeft);
}

// Bpp is a constant in each instance, so that the loops over the bytes of
// one pixel unroll and the left neighbours stay in registers.
template <unsigned Bpp>
void UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t rowBytes)
{
    const size_t first = rowBytes < Bpp ? rowBytes : Bpp; // bytes without a left neighbour
    switch (filterType) {
    case kFilterSub:
        for (size_t i = Bpp; i < rowBytes; ++i)
            row[i] = static_cast<uint8_t>(row[i] + row[i - Bpp]);
        break;
    case kFilterUp:
        for (size_t i = 0; i < rowBytes; ++i)
            row[i] = static_cast<uint8_t>(row[i] + previous[i]);
        break;
    case kFilterAverage:
        for (size_t i = 0; i < first; ++i)
            row[i] = static_cast<uint8_t>(row[i] + (previous[i] >> 1));
        for (size_t i = Bpp; i < rowBytes; ++i)
            row[i] = static_cast<uint8_t>(row[i] + ((row[i - Bpp] + previous[i]) >> 1));
        break;
    case kFilterPaeth:
        // With left and upper-left 0 the predictor is always up.
        for (size_t i = 0; i < first; ++i)
            row[i] = static_cast<uint8_t>(row[i] + previous[i]);
        for (size_t i = Bpp; i < rowBytes; ++i)
            row[i] = static_cast<uint8_t>(row[i] + PaethPredictor(row[i - Bpp], previous[i], previous[i - Bpp]));
        break;
    default: // None, and unknown types taken as they stand
        break;
    }
}

} // namespace

void Unfilter(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t rowBytes, unsigned bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 1: UnfilterRow<1>(filterType, row, previous, rowBytes); break;
    case 2: UnfilterRow<2>(filterType, row, previous, rowBytes); break;
    case 3: UnfilterRow<3>(filterType, row, previous, rowBytes); break;
    case 4: UnfilterRow<4>(filterType, row, previous, rowBytes); break;
    case 6: UnfilterRow<6>(filterType, row, previous, rowBytes); break;
    case 8: UnfilterRow<8>(filterType, row, previous, rowBytes); break;
    default: break;
    }
}

} // namespace pix
