#include "colours/CsvExport.h"

#include "colours/ColorTable.h"
#include "colours/DecimalText.h"
#include "platform/OutputFile.h"
#include "graphics/Bitmap.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
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

// The second pass with a ranked table, whose numbers are read without
// changing it: bands of whole rows are formatted by this thread and a
// helper, into a ring of buffers, and this thread writes them in order and
// reports progress. Writing, progress and cancel stay on the caller's
// thread; the helper only reads the bitmap and the table.
class TRankedCsvWriter {
public:
    TRankedCsvWriter(const TBitmap& bitmap, const TColorTable& table, TByteSink& sink, const TExportProgress& progress)
        : fBitmap(bitmap)
        , fTable(table)
        , fSink(sink)
        , fProgress(progress)
        , fRowsPerBand(std::max(1, kBandPixels / std::max(bitmap.Width(), 1)))
        , fBands((bitmap.Height() + fRowsPerBand - 1) / fRowsPerBand)
    {
        const std::size_t bandText = static_cast<std::size_t>(fRowsPerBand) * (static_cast<std::size_t>(bitmap.Width()) * 9 + 2);
        for (TSlot& slot : fSlots)
            slot.text.resize(bandText + kLongestPiece);
    }
    ~TRankedCsvWriter() { StopHelper(); }
    TRankedCsvWriter(const TRankedCsvWriter&) = delete;
    TRankedCsvWriter& operator=(const TRankedCsvWriter&) = delete;

    bool Run()
    {
        if (int64_t{fBitmap.Width()} * fBitmap.Height() >= kHelperFrom && std::thread::hardware_concurrency() > 1) {
            try {
                fHelper = std::thread([this] { HelpFormat(); });
            } catch (const std::system_error&) {
                // Without a second thread this one formats every band.
            }
        }
        const int64_t total = int64_t{fBitmap.Width()} * fBitmap.Height();
        std::unique_lock lock(fMutex);
        while (fWritten < fBands) {
            TSlot& next = fSlots[static_cast<std::size_t>(fWritten) % kSlots];
            if (next.ready) {
                lock.unlock();
                fSink.Write(next.text.data(), next.used);
                const int64_t done = std::min<int64_t>(int64_t{fWritten + 1} * fRowsPerBand, fBitmap.Height()) * fBitmap.Width();
                const bool goOn = !fProgress || fProgress(done, total);
                lock.lock();
                next.ready = false;
                ++fWritten;
                fChanged.notify_all();
                if (!goOn)
                    return false;
            } else if (CanClaim()) {
                FormatClaimed(lock);
            } else {
                fChanged.wait(lock);
            }
        }
        return true;
    }

private:
    // About 2 MiB of text per band.
    static constexpr int kBandPixels = 1 << 18;
    static constexpr std::size_t kSlots = 4;
    // Smaller pictures are done before a thread would have started.
    static constexpr int64_t kHelperFrom = 1 << 18;

    struct TSlot {
        std::vector<char> text;
        std::size_t used = 0;
        bool ready = false;
    };

    bool CanClaim() const { return fClaimed < fBands && fClaimed < fWritten + static_cast<int>(kSlots); }

    // Called and returns with the lock held; formats without it.
    void FormatClaimed(std::unique_lock<std::mutex>& lock)
    {
        const int band = fClaimed++;
        TSlot& slot = fSlots[static_cast<std::size_t>(band) % kSlots];
        lock.unlock();
        slot.used = static_cast<std::size_t>(FormatBand(band, slot.text.data()) - slot.text.data());
        lock.lock();
        slot.ready = true;
        fChanged.notify_all();
    }

    char* FormatBand(int band, char* out) const
    {
        const int width = fBitmap.Width();
        const int firstRow = band * fRowsPerBand;
        const int endRow = std::min(firstRow + fRowsPerBand, fBitmap.Height());
        int32_t colours[kRunPixels];
        for (int y = firstRow; y < endRow; ++y) {
            for (int x = 0; x < width; x += kRunPixels) {
                const int count = std::min(kRunPixels, width - x);
                fBitmap.ReadColours(x, y, count, colours);
                for (int i = 0; i < count; ++i)
                    out = AppendCell(out, static_cast<uint32_t>(fTable.NumberOf(colours[i])));
            }
            *out++ = '\r';
            *out++ = '\n';
        }
        return out;
    }

    void HelpFormat()
    {
        std::unique_lock lock(fMutex);
        for (;;) {
            fChanged.wait(lock, [this] { return fStop || CanClaim(); });
            if (fStop)
                return;
            FormatClaimed(lock);
        }
    }

    void StopHelper()
    {
        if (!fHelper.joinable())
            return;
        {
            const std::lock_guard lock(fMutex);
            fStop = true;
        }
        fChanged.notify_all();
        fHelper.join();
    }

    static constexpr int kRunPixels = 1024;

    const TBitmap& fBitmap;
    const TColorTable& fTable;
    TByteSink& fSink;
    const TExportProgress& fProgress;
    const int fRowsPerBand;
    const int fBands;
    TSlot fSlots[kSlots];
    std::mutex fMutex;
    std::condition_variable fChanged;
    int fClaimed = 0;
    int fWritten = 0;
    bool fStop = false;
    std::thread fHelper;
};

} // namespace

bool NumberColours(const TBitmap& bitmap, TColorTable& table, const TExportProgress& progress)
{
    const bool complete = ForEachStep(bitmap, progress, [&](int, const int32_t* colours, int count) {
        table.AddColours(colours, count);
    });
    if (complete)
        table.SortColors();
    return complete;
}

bool WriteCsv(const TBitmap& bitmap, TColorTable& table, TByteSink& sink, const TExportProgress& progress)
{
    if (table.Ranked())
        return TRankedCsvWriter(bitmap, table, sink, progress).Run();
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
