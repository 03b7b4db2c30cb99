#include "colours/CsvExport.h"

#include "colours/ColorTable.h"
#include "colours/CsvFormat.h"
#include "colours/DecimalText.h"
#include "colours/NumberedTable.h"
#include "platform/OutputFile.h"
#include "graphics/Bitmap.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
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
// The longest piece written between two drains: the widest cell, or a
// legend line of a number, a colour and a pixel count of up to 19 digits.
constexpr std::size_t kLongestPiece = 48;

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
    void Count(int64_t count)
    {
        const std::string digits = std::to_string(count);
        Append(digits.data(), digits.size());
    }
    void Append(const char* text, std::size_t size)
    {
        std::memcpy(fBuffer.data() + fUsed, text, size);
        fUsed += size;
    }
    void Append(std::string_view text) { Append(text.data(), text.size()); }
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

// Runs visit(x, colours, count) over rows firstRow to endRow - 1 of the
// bitmap, top to bottom, in steps of at most kPixelsPerStep pixels of a row
// starting at column x, calling report(count) after each; false once a
// report returned false.
template <class Report, class Visit>
bool ForEachStep(const TBitmap& bitmap, int firstRow, int endRow, Report report, Visit visit)
{
    const int width = bitmap.Width();
    std::vector<int32_t> colours(static_cast<std::size_t>(std::min(width, kPixelsPerStep)));
    for (int y = firstRow; y < endRow; ++y) {
        for (int x = 0; x < width; x += kPixelsPerStep) {
            const int count = std::min(kPixelsPerStep, width - x);
            bitmap.ReadColours(x, y, count, colours.data());
            visit(x, colours.data(), count);
            if (!report(count))
                return false;
        }
    }
    return true;
}

// Progress over the whole bitmap, pixels added up as reported.
class TProgressCount {
public:
    TProgressCount(const TBitmap& bitmap, const TExportProgress& progress)
        : fProgress(progress)
        , fTotal(int64_t{bitmap.Width()} * bitmap.Height())
    {
    }
    bool operator()(int64_t pixels)
    {
        fDone += pixels;
        return !fProgress || fProgress(fDone, fTotal);
    }

private:
    const TExportProgress& fProgress;
    const int64_t fTotal;
    int64_t fDone = 0;
};

// Smaller pictures are done before a thread would have started.
constexpr int64_t kHelperFrom = 1 << 18;

bool HelperPays(const TBitmap& bitmap)
{
    return int64_t{bitmap.Width()} * bitmap.Height() >= kHelperFrom && std::thread::hardware_concurrency() > 1;
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
        const std::size_t bandText = static_cast<std::size_t>(fRowsPerBand) * (static_cast<std::size_t>(bitmap.Width()) * kWidestCell + kRowEnd.size());
        for (TSlot& slot : fSlots)
            slot.text.reset(new char[bandText + kLongestPiece]);
    }
    ~TRankedCsvWriter() { StopHelper(); }
    TRankedCsvWriter(const TRankedCsvWriter&) = delete;
    TRankedCsvWriter& operator=(const TRankedCsvWriter&) = delete;

    bool Run()
    {
        if (HelperPays(fBitmap)) {
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
                fSink.Write(next.text.get(), next.used);
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

    struct TSlot {
        std::unique_ptr<char[]> text; // written before it is read: no need to clear it
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
        slot.used = static_cast<std::size_t>(FormatBand(band, slot.text.get()) - slot.text.get());
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
            out = std::copy(kRowEnd.begin(), kRowEnd.end(), out);
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

// The first pass: the lower half of the rows goes into a set of its own on
// a helper thread while this thread enters the upper half into the table
// and reports the progress of both; then the set joins the table.
bool NumberColours(const TBitmap& bitmap, TColorTable& table, const TExportProgress& progress)
{
    table.Reserve(table.ColorCount() + int64_t{bitmap.Width()} * bitmap.Height());
    TProgressCount count(bitmap, progress);
    const auto enter = [&](int, const int32_t* colours, int n) { table.AddColours(colours, n); };
    std::optional<TColourSet> lower;
    std::thread helper;
    std::atomic<int64_t> helperDone{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> helperFinished{false};
    int split = bitmap.Height();
    if (HelperPays(bitmap) && bitmap.Height() > 1) {
        lower.emplace();
        try {
            helper = std::thread([&, firstRow = bitmap.Height() / 2] {
                ForEachStep(
                    bitmap, firstRow, bitmap.Height(),
                    [&](int n) {
                        helperDone += n;
                        return !stop;
                    },
                    [&](int, const int32_t* colours, int n) { lower->Add(colours, n); });
                helperFinished = true;
            });
            split = bitmap.Height() / 2;
        } catch (const std::system_error&) {
            // Without a second thread this one takes every row.
        }
    }
    // Stops and joins the helper on every way out, a failing report too.
    const auto join = [&](std::thread* thread) {
        stop = true;
        if (thread->joinable())
            thread->join();
    };
    const std::unique_ptr<std::thread, decltype(join)> joined(&helper, join);
    int64_t reported = 0;
    const auto report = [&](int64_t pixels) {
        const int64_t helped = helperDone;
        const bool goOn = count(pixels + helped - reported);
        reported = helped;
        return goOn;
    };
    bool complete = ForEachStep(bitmap, 0, split, report, enter);
    while (complete && helper.joinable() && !helperFinished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        complete = report(0);
    }
    join(&helper);
    if (lower)
        table.AddColours(*lower);
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
    const bool complete = ForEachStep(bitmap, 0, bitmap.Height(), TProgressCount(bitmap, progress), [&](int x, const int32_t* colours, int count) {
        for (int i = 0; i < count; ++i) {
            writer.Number(table.FindOrAddColor(colours[i]), kCellEnd);
            writer.DrainIfFull();
        }
        if (x + count == width)
            writer.Append(kRowEnd);
    });
    if (complete)
        writer.Drain();
    return complete;
}

bool TCsvTableWriter::Write(const TNumberedTable& table, TReplacementFile& file, const TExportProgress& progress) const
{
    return WriteTo(table, file, progress);
}

bool TCsvTableWriter::WriteTo(const TNumberedTable& table, TByteSink& sink, const TExportProgress& progress) const
{
    return WriteCsv(table.Bitmap(), table.Colours(), sink, progress);
}

void WriteLegend(const TNumberedTable& table, TByteSink& sink)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::vector<int64_t>& pixels = table.PixelCounts();
    TBlockWriter writer(sink);
    for (int32_t number = 1; number <= table.ColourCount(); ++number) {
        const auto value = static_cast<uint32_t>(table.ColourOf(number));
        const uint8_t channels[3] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                     static_cast<uint8_t>(value >> 16)};
        char text[8] = {'#'};
        for (int c = 0; c < 3; ++c) {
            text[1 + 2 * c] = kHex[channels[c] >> 4];
            text[2 + 2 * c] = kHex[channels[c] & 15];
        }
        writer.Number(number, kCellEnd);
        writer.Append(text, 7);
        writer.Append(&kCellEnd, 1);
        writer.Count(pixels[static_cast<std::size_t>(number) - 1]);
        writer.Append(kRowEnd);
        writer.DrainIfFull();
    }
    writer.Drain();
}

} // namespace pix
