#pragma once

#include <cstdint>
#include <vector>

namespace pix {

class TBitmap;
class TColorTable;

// A picture whose colours are numbered: what every table writer reads. The
// number of each pixel, the colour value of each number and the pixels of
// each number come from here, however many writers read them.
class TNumberedTable {
public:
    // The table must hold every colour of the bitmap, sorted: a complete
    // first pass has been made.
    TNumberedTable(const TBitmap& bitmap, TColorTable& colours);

    const TBitmap& Bitmap() const { return fBitmap; }
    TColorTable& Colours() const { return fColours; }
    int Width() const;
    int Height() const;
    int32_t ColourCount() const;
    // The colour value red + 256 green + 65536 blue of number 1 to ColourCount().
    int32_t ColourOf(int32_t number) const;
    // The colour numbers of count pixels of row y from column x on.
    void ReadNumbers(int x, int y, int count, int32_t* numbers) const;
    // How many pixels have each number, at index number - 1; counted once,
    // when first asked for.
    const std::vector<int64_t>& PixelCounts() const;

private:
    const TBitmap& fBitmap;
    TColorTable& fColours;
    mutable std::vector<int64_t> fPixelCounts;
    mutable bool fCounted = false;
};

} // namespace pix
