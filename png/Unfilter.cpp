#include "png/Unfilter.h"

#include <cstdlib>
#include <utility>

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

// Calls channel(0), ..., channel(Bpp - 1) with constant arguments: written
// out by the compiler, so per-channel state becomes plain registers.
template <unsigned Bpp, class F>
inline void ForEachChannel(F&& channel)
{
    [&]<unsigned... C>(std::integer_sequence<unsigned, C...>) { (channel(C), ...); }(std::make_integer_sequence<unsigned, Bpp>{});
}

// Bpp is a constant in each instance, so that the loops over the bytes of
// one pixel unroll and the left and upper-left bytes of each channel stay in
// registers instead of being read back from the row just written. Rows of
// every format with a converter are whole pixels of Bpp bytes.
template <unsigned Bpp>
void UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t rowBytes)
{
    if (rowBytes < Bpp)
        return;
    uint8_t left[Bpp];
    switch (filterType) {
    case kFilterSub:
        for (unsigned c = 0; c < Bpp; ++c)
            left[c] = row[c];
        for (size_t i = Bpp; i + Bpp <= rowBytes; i += Bpp)
            ForEachChannel<Bpp>([&](unsigned c) { left[c] = row[i + c] = static_cast<uint8_t>(row[i + c] + left[c]); });
        break;
    case kFilterUp:
        for (size_t i = 0; i < rowBytes; ++i)
            row[i] = static_cast<uint8_t>(row[i] + previous[i]);
        break;
    case kFilterAverage:
        for (unsigned c = 0; c < Bpp; ++c)
            left[c] = row[c] = static_cast<uint8_t>(row[c] + (previous[c] >> 1));
        // The sum is formed in int: (left + up) / 2 without overflow.
        for (size_t i = Bpp; i + Bpp <= rowBytes; i += Bpp)
            ForEachChannel<Bpp>([&](unsigned c) {
                left[c] = row[i + c] = static_cast<uint8_t>(row[i + c] + ((left[c] + previous[i + c]) >> 1));
            });
        break;
    case kFilterPaeth: {
        // With left and upper-left 0 the predictor is always up.
        uint8_t upperLeft[Bpp];
        for (unsigned c = 0; c < Bpp; ++c) {
            left[c] = row[c] = static_cast<uint8_t>(row[c] + previous[c]);
            upperLeft[c] = previous[c];
        }
        for (size_t i = Bpp; i + Bpp <= rowBytes; i += Bpp)
            ForEachChannel<Bpp>([&](unsigned c) {
                const uint8_t up = previous[i + c];
                left[c] = row[i + c] = static_cast<uint8_t>(row[i + c] + PaethPredictor(left[c], up, upperLeft[c]));
                upperLeft[c] = up;
            });
        break;
    }
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
