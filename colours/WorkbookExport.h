#pragma once

#include "colours/TableWriter.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pix {

// What a workbook holds at most: the columns and rows of a sheet, and the
// cell formats that the spreadsheet programs accept. Every colour takes
// one format; the workbook's default and its headings take two more.
inline constexpr int kWorkbookColumns = 16384;
inline constexpr int kWorkbookRows = 1048576;
inline constexpr int kWorkbookCellFormats = 64000;
inline constexpr int kWorkbookColours = kWorkbookCellFormats - 2;

// A picture beyond one of the limits above; nothing has been written.
class EWorkbookLimit : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True for a name ending in ".xlsx", in any letter case.
bool IsWorkbookName(const std::string& fileName);
// The workbook's name derived from the picture's, as the CSV's is.
std::string WorkbookFileName(const std::string& pictureName);

// True when white digits stand out more than black ones on a cell filled
// with the colour value: the higher contrast ratio of relative luminance.
bool WhiteDigitsOn(int32_t colourValue);

// The table as a spreadsheet workbook: on sheet "Таблиця" a cell per pixel
// holding its colour number, filled with its colour, with square cells; on
// sheet "Кольори" the key, a row per number with its swatch, "#RRGGBB" and
// pixel count. Written row by row through scratch files, so its memory
// does not grow with the picture.
class TWorkbookTableWriter : public TTableWriter {
public:
    void CheckLimits(const TNumberedTable& table) const override;
    bool Write(const TNumberedTable& table, TReplacementFile& file, const TExportProgress& progress) const override;
};

} // namespace pix
