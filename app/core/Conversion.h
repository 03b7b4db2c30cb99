#pragma once

// The way of a picture from its file to a table, one pipeline for the
// window's export and for pixcsv:
//
//   PNG file --read--> image object (chunks, image buffer)
//            --drawn into--> work bitmap
//            --first pass, sort--> colour table: a numbered table
//            --table writer: CSV or workbook--> replacement file
//            --commit--> the chosen file
//
// Loading and numbering stay with each caller's own state (the window keeps
// its image object and colour table for its life; pixcsv makes new ones
// for every input); from the numbered table on, both go through here.

#include "colours/TableWriter.h"

#include <memory>
#include <string>

namespace pix {

class TNumberedTable;
class TPNGGraphic;

// Reads a PNG file into a new image object and draws it into bitmap; the
// image object goes once drawn, since the passes need only the bitmap.
void LoadPicture(const std::string& fileName, TPNGGraphic& bitmap);

// The writer for the kind of table a file name asks for: a workbook for a
// name ending in ".xlsx" in any letter case, otherwise CSV.
const TTableWriter& TableWriterFor(const std::string& fileName);

// The table written beside fileName as its name asks, the kind's limits
// checked before the file is touched. The caller commits, so that a table
// and its key can be put in place together; nothing when cancelled.
std::unique_ptr<TReplacementFile> WriteTable(const TNumberedTable& table, const std::string& fileName,
                                             const TExportProgress& progress);

} // namespace pix
