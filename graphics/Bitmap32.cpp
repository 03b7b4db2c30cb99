#include "graphics/Bitmap32.h"

#include <algorithm>

namespace pix {

void TBitmap32::SetSize(int width, int height)
{
    fWidth = std::max(width, 0);
    fHeight = std::max(height, 0);
    fPixels.assign(static_cast<std::size_t>(fWidth) * fHeight * 4, 0);
}

void CompositeStraightAlpha(TBitmap32& destination, const TBitmap32& source, int left, int top)
{
    const int firstX = std::max(0, -left);
    const int firstY = std::max(0, -top);
    const int endX = std::min(source.Width(), destination.Width() - left);
    const int endY = std::min(source.Height(), destination.Height() - top);
    for (int y = firstY; y < endY; ++y) {
        const uint8_t* s = source.Row(y) + firstX * 4;
        uint8_t* d = destination.Row(y + top) + (firstX + left) * 4;
        for (int x = firstX; x < endX; ++x, s += 4, d += 4) {
            const uint8_t a = s[kAlpha];
            d[kBlue] = BlendStraight(d[kBlue], s[kBlue], a);
            d[kGreen] = BlendStraight(d[kGreen], s[kGreen], a);
            d[kRed] = BlendStraight(d[kRed], s[kRed], a);
            d[kAlpha] = std::max(d[kAlpha], a);
        }
    }
}

} // namespace pix
