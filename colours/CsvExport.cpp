#include "colours/CsvExport.h"

#include "colours/ColorTable.h"
#include "colours/DecimalText.h"
#include "platform/OutputFile.h"
#include "graphics/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pix {

namespace {

// Pixels read between two progress reports: rare enough to cost nothing,
// often enough that a cancel is felt at once on any row width.
constexpr int kPixelsPerStep = 1 << 16;
// Output is handed to the file in blocks of this size.
constexpr std::size_t kBlockBytes = 1 << 20;
// The longest cell: eight digits (numbers stay below 2^24) and ";", or a
// legend line; the buffer is drained whenever less than this is left.
constexpr std::size_t kLongestPiece = 32;

class TBlockWriter {
public:
    explicit TBlockWriter(TByteSink& sink)
        : fSink(sink)
        , fBuffer(kBlockBytes + kLongestPiece)
    {
    }

    void DrainIfFull()
    {
        if (fUsed > kBlockBytes)
            Drain();
    }
    void Number(int32_t number, char terminator)
    {
        char digits[16];
        char* end = digits + sizeof digits;
        *--end = terminator;
        const char* start = FormatDecimal(static_cast<uint32_t>(number), end);
        Append(start, static_cast<std::size_t>(digits + sizeof digits - start));
    }
    void Append(const char* text, std::size_t size)
    {
        std::memcpy(fBuffer.data() + fUsed, text, size);
        fUsed += size;
    }
    void Drain()
    {
        if (fUsed > 0)
            fSink.Write(fBuffer.data(), fUsed);
        fUsed = 0;
    }

private:
    TByteSink& fSink;
    std::vector<char> fBuffer;
    std::size_t fUsed = 0;
};

// Runs visit(x, colours, count) over the bitmap, rows top to bottom, in
// steps of at most kPixelsPerStep pixels of a row starting at column x,
// reporting progress after each; false when cancelled.
template <class Visit>
bool ForEachStep(const TBitmap& bitmap, const TExportProgress& progress, Visit visit)
{
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const int64_t total = static_cast<int64_t>(width) * height;
    std::vector<int32_t> colours(static_cast<std::size_t>(std::min(width, kPixelsPerStep)));
    int64_t done = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; x += kPixelsPerStep) {
            const int count = std::min(kPixelsPerStep, width - x);
            bitmap.ReadColours(x, y, count, colours.data());
            visit(x, colours.data(), count);
            done += count;
            if (progress && !progress(done, total))
                return false;
        }
    }
    return true;
}

} // namespace

bool NumberColours(const TBitmap& bitmap, TColorTable& table, const TExportProgress& progress)
{
    const bool complete = ForEachStep(bitmap, progress, [&](int, const int32_t* colours, int count) {
        for (int i = 0; i < count; ++i)
            table.FindOrAddColor(colours[i]);
    });
    if (complete)
        table.SortColors();
    return complete;
}

bool WriteCsv(const TBitmap& bitmap, TColorTable& table, TByteSink& sink, const TExportProgress& progress)
{
    TBlockWriter writer(sink);
    const int width = bitmap.Width();
    const bool complete = ForEachStep(bitmap, progress, [&](int x, const int32_t* colours, int count) {
        for (int i = 0; i < count; ++i) {
            writer.Number(table.FindOrAddColor(colours[i]), ';');
            writer.DrainIfFull();
        }
        if (x + count == width)
            writer.Append("\r\n", 2);
    });
    if (complete)
        writer.Drain();
    return complete;
}

void WriteLegend(const TColorTable& table, TByteSink& sink)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    TBlockWriter writer(sink);
    for (int32_t number = 1; number <= table.ColorCount(); ++number) {
        const auto value = static_cast<uint32_t>(table.Entry(number));
        const uint8_t channels[3] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                     static_cast<uint8_t>(value >> 16)};
        char text[8] = {'#'};
        for (int c = 0; c < 3; ++c) {
            text[1 + 2 * c] = kHex[channels[c] >> 4];
            text[2 + 2 * c] = kHex[channels[c] & 15];
        }
        writer.Number(number, ';');
        writer.Append(text, 7);
        writer.Append("\r\n", 2);
        writer.DrainIfFull();
    }
    writer.Drain();
}

} // namespace pix
