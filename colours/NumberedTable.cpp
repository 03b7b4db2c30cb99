#include "colours/NumberedTable.h"

#include "colours/ColorTable.h"
#include "graphics/Bitmap.h"

#include <algorithm>

namespace pix {

TNumberedTable::TNumberedTable(const TBitmap& bitmap, TColorTable& colours)
    : fBitmap(bitmap)
    , fColours(colours)
{
}

int TNumberedTable::Width() const
{
    return fBitmap.Width();
}

int TNumberedTable::Height() const
{
    return fBitmap.Height();
}

int32_t TNumberedTable::ColourCount() const
{
    return fColours.ColorCount();
}

int32_t TNumberedTable::ColourOf(int32_t number) const
{
    return fColours.Entry(number);
}

void TNumberedTable::ReadNumbers(int x, int y, int count, int32_t* numbers) const
{
    fBitmap.ReadColours(x, y, count, numbers);
    for (int i = 0; i < count; ++i)
        numbers[i] = fColours.Ranked() ? fColours.NumberOf(numbers[i]) : fColours.FindOrAddColor(numbers[i]);
}

const std::vector<int64_t>& TNumberedTable::PixelCounts() const
{
    if (fCounted)
        return fPixelCounts;
    fPixelCounts.assign(static_cast<std::size_t>(ColourCount()), 0);
    constexpr int kRun = 4096;
    int32_t numbers[kRun];
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); x += kRun) {
            const int count = std::min(kRun, Width() - x);
            ReadNumbers(x, y, count, numbers);
            for (int i = 0; i < count; ++i)
                ++fPixelCounts[static_cast<std::size_t>(numbers[i]) - 1];
        }
    }
    fCounted = true;
    return fPixelCounts;
}

} // namespace pix
