#include "controls/PreviewPainter.h"

#include "graphics/Bitmap32.h"
#include "graphics/Bitmap.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace pix {

namespace {

// Entry i is the source index that target index i shows; entry i + 1 ends
// the run of source indexes that fall to it when reducing.
std::vector<int> SourceIndexes(int sourceCount, int targetCount)
{
    std::vector<int> indexes(static_cast<std::size_t>(targetCount) + 1);
    for (int i = 0; i <= targetCount; ++i)
        indexes[static_cast<std::size_t>(i)] = static_cast<int>(static_cast<int64_t>(i) * sourceCount / targetCount);
    return indexes;
}

void PutColour(uint8_t* pixel, int32_t colourValue)
{
    pixel[kRed] = static_cast<uint8_t>(colourValue);
    pixel[kGreen] = static_cast<uint8_t>(colourValue >> 8);
    pixel[kBlue] = static_cast<uint8_t>(colourValue >> 16);
    pixel[kAlpha] = 255;
}

// Two-colour pictures keep their dark lines when reduced: every source pixel
// that falls to a target pixel is combined into it by a bitwise AND. Whole
// rows are read at once, as a reduction visits every source pixel.
void PaintOneBit(const TBitmap& picture, TBitmap32& target, const std::vector<int>& columns,
                 const std::vector<int>& rows)
{
    std::vector<int32_t> sourceRow(static_cast<std::size_t>(picture.Width()));
    std::vector<int32_t> combined(static_cast<std::size_t>(target.Width()));
    for (int y = 0; y < target.Height(); ++y) {
        const int y0 = rows[static_cast<std::size_t>(y)];
        const int y1 = std::max(rows[static_cast<std::size_t>(y) + 1], y0 + 1);
        std::fill(combined.begin(), combined.end(), 0xFFFFFF);
        for (int sourceY = y0; sourceY < y1; ++sourceY) {
            picture.ReadColours(0, sourceY, picture.Width(), sourceRow.data());
            for (int x = 0; x < target.Width(); ++x) {
                const int x0 = columns[static_cast<std::size_t>(x)];
                const int x1 = std::max(columns[static_cast<std::size_t>(x) + 1], x0 + 1);
                for (int sourceX = x0; sourceX < x1; ++sourceX)
                    combined[static_cast<std::size_t>(x)] &= sourceRow[static_cast<std::size_t>(sourceX)];
            }
        }
        uint8_t* pixel = target.Row(y);
        for (int x = 0; x < target.Width(); ++x, pixel += 4)
            PutColour(pixel, combined[static_cast<std::size_t>(x)]);
    }
}

void PaintOpaque(const TBitmap& picture, TBitmap32& target, const std::vector<int>& columns,
                 const std::vector<int>& rows)
{
    for (int y = 0; y < target.Height(); ++y) {
        const int sourceY = rows[static_cast<std::size_t>(y)];
        uint8_t* pixel = target.Row(y);
        for (int x = 0; x < target.Width(); ++x, pixel += 4)
            PutColour(pixel, picture.Pixels(columns[static_cast<std::size_t>(x)], sourceY));
    }
}

void PaintComposited(const TBitmap& picture, TBitmap32& target, const std::vector<int>& columns,
                     const std::vector<int>& rows)
{
    for (int y = 0; y < target.Height(); ++y) {
        const int sourceY = rows[static_cast<std::size_t>(y)];
        uint8_t* pixel = target.Row(y);
        for (int x = 0; x < target.Width(); ++x, pixel += 4) {
            const int sourceX = columns[static_cast<std::size_t>(x)];
            const int32_t colour = picture.Pixels(sourceX, sourceY);
            const uint8_t alpha = picture.Alpha(sourceX, sourceY);
            pixel[kRed] = BlendStraight(pixel[kRed], static_cast<uint8_t>(colour), alpha);
            pixel[kGreen] = BlendStraight(pixel[kGreen], static_cast<uint8_t>(colour >> 8), alpha);
            pixel[kBlue] = BlendStraight(pixel[kBlue], static_cast<uint8_t>(colour >> 16), alpha);
            pixel[kAlpha] = std::max(pixel[kAlpha], alpha);
        }
    }
}

} // namespace

void PaintPreviewPicture(const TBitmap& picture, TBitmap32& target)
{
    if (target.Empty() || picture.Width() <= 0 || picture.Height() <= 0)
        return;
    const std::vector<int> columns = SourceIndexes(picture.Width(), target.Width());
    const std::vector<int> rows = SourceIndexes(picture.Height(), target.Height());
    switch (picture.PixelFormat()) {
    case pf32bit:
        PaintComposited(picture, target, columns, rows);
        break;
    case pf1bit:
        PaintOneBit(picture, target, columns, rows);
        break;
    default:
        PaintOpaque(picture, target, columns, rows);
        break;
    }
}

} // namespace pix
