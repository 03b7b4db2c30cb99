#pragma once

#include "colours/TableWriter.h"

namespace pix {

class TBitmap;
class TColorTable;

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

// The CSV table as a kind of table file.
class TCsvTableWriter : public TTableWriter {
public:
    // Any picture fits: a CSV file has no limits of its own.
    void CheckLimits(const TNumberedTable&) const override {}
    bool Write(const TNumberedTable& table, TReplacementFile& file, const TExportProgress& progress) const override;
    // The same text into any sink, standard output among them.
    bool WriteTo(const TNumberedTable& table, TByteSink& sink, const TExportProgress& progress) const;
};

// The colour key of a numbered table: "NUMBER;#RRGGBB;PIXELS" and CR LF for
// every colour number in turn.
void WriteLegend(const TNumberedTable& table, TByteSink& sink);

} // namespace pix
