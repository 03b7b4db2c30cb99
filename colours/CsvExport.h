#pragma once

#include <cstdint>
#include <functional>

namespace pix {

class TBitmap;
class TByteSink;
class TColorTable;

// Told now and then how many of the pixels are done; returning false
// cancels the pass.
using TExportProgress = std::function<bool(int64_t donePixels, int64_t totalPixels)>;

// First pass of an export: enters the colour value of every pixel, rows top
// to bottom, into the table (which is not reset first), then sorts it.
// Returns false when cancelled; the table then holds the colours met so far,
// unsorted, which a later complete pass turns into the same numbering.
bool NumberColours(const TBitmap& bitmap, TColorTable& table, const TExportProgress& progress = {});

// Second pass: the CSV text, every pixel as the number of its colour and
// ";", CR LF after every row. The table must already hold every colour of
// the bitmap. Returns false when cancelled; what was written is then
// incomplete and must be discarded.
bool WriteCsv(const TBitmap& bitmap, TColorTable& table, TByteSink& sink, const TExportProgress& progress = {});

// The colour key of a numbered table: "NUMBER;#RRGGBB" and CR LF for every
// colour number in turn.
void WriteLegend(const TColorTable& table, TByteSink& sink);

} // namespace pix
