#pragma once

#include <cstdint>
#include <functional>

namespace pix {

class TByteSink;
class TNumberedTable;
class TReplacementFile;

// Told now and then how many of the pixels are done; returning false
// cancels the pass.
using TExportProgress = std::function<bool(int64_t donePixels, int64_t totalPixels)>;

// One kind of table file, written from a numbered picture. Every kind is
// written into a replacement file, which the caller commits, so a failed or
// cancelled write never touches the target.
class TTableWriter {
public:
    virtual ~TTableWriter() = default;

    // Fails when the table is beyond what this kind of file can hold: called
    // before any file is touched.
    virtual void CheckLimits(const TNumberedTable& table) const = 0;
    // The whole table into file; false when cancelled, and what was written
    // must then be discarded.
    virtual bool Write(const TNumberedTable& table, TReplacementFile& file, const TExportProgress& progress) const = 0;
};

} // namespace pix
