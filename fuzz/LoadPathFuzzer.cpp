// libFuzzer target: any bytes through the whole load path, as the window and
// pixcsv run it: TPngImage::LoadFromStream, the assignment to a work bitmap,
// the first numbering pass with its sort, and the second pass writing CSV.
// Every step either succeeds or fails with one of the program's own
// exceptions; a crash, a sanitizer report, a hang, a CSV text that breaks
// the format, or a load that ends otherwise with zlib alone than with the
// faster inflate engine is a finding.

#include "colours/ColorTable.h"
#include "colours/CsvExport.h"
#include "platform/OutputFile.h"
#include "graphics/PngGraphic.h"
#include "png/BigEndian.h"
#include "png/ByteSource.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <typeinfo>

namespace {

[[noreturn]] void Finding(const char* what)
{
    std::fprintf(stderr, "load path finding: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what)
{
    if (!condition)
        Finding(what);
}

// libFuzzer reports any allocation above its memory limit as a crash, while
// the reader rightly allocates up to what the machine can give; and every
// pixel is visited four times below. Inputs whose headers declare more than
// 2^20 pixels are therefore passed over; large declared sizes are covered by
// tests/png/HostileFilesTest.cpp.
bool DeclaresHugeImage(const uint8_t* data, size_t size)
{
    for (size_t at = 0; at + 12 <= size; ++at) {
        if (std::memcmp(data + at, "IHDR", 4) != 0)
            continue;
        const uint64_t width = pix::BigEndian32(data + at + 4);
        const uint64_t height = pix::BigEndian32(data + at + 8);
        if (width * height > (uint64_t{1} << 20))
            return true;
    }
    return false;
}

// "" when the load succeeded, else the failure's message.
std::string LoadOutcome(pix::TPngImage& image, const uint8_t* data, size_t size, bool fastInflate)
{
    pix::TMemorySource source({data, size});
    image.SetFastInflate(fastInflate);
    try {
        image.LoadFromStream(source);
        return {};
    } catch (const std::runtime_error& error) { // every exception of the reader is a runtime_error
        return std::string(typeid(error).name()) + error.what();
    }
}

// Every byte of the three planes, read through the row accessors so that
// their bounds are checked too (the low-byte plane is not drawn).
std::string Planes(const pix::TPngImage& image)
{
    std::string bytes;
    const pix::TChunkIHDR& header = image.Header();
    for (uint32_t y = 0; y < image.Height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(image.Scanline(y)), header.BytesPerRow);
        if (const uint8_t* alpha = image.AlphaScanline(y))
            bytes.append(reinterpret_cast<const char*>(alpha), image.Width());
        if (const uint8_t* extra = image.ExtraScanline(y))
            bytes.append(reinterpret_cast<const char*>(extra), header.BytesPerRow);
    }
    return bytes;
}

// Parses the CSV text as it streams past: width cells per line, each a
// number from 1 to the colour count without leading zeros, ";" after every
// cell, CR LF after every line, height lines.
class TCsvChecker final : public pix::TByteSink {
public:
    TCsvChecker(int width, int32_t colours) : fWidth(width), fColours(colours) {}

    void Write(const char* data, size_t size) override
    {
        for (size_t i = 0; i < size; ++i)
            Take(data[i]);
    }

    int Lines() const { return fLines; }
    bool AtLineStart() const { return fCells == 0 && fDigits == 0 && !fAfterCR; }

private:
    void Take(char c)
    {
        if (fAfterCR) {
            Check(c == '\n', "CR without LF");
            fAfterCR = false;
            ++fLines;
            fCells = 0;
        } else if (c >= '0' && c <= '9') {
            Check(!(fDigits == 0 && c == '0'), "leading zero");
            Check(++fDigits <= 8, "number too long");
            fNumber = fNumber * 10 + (c - '0');
        } else if (c == ';') {
            Check(fDigits > 0, "empty cell");
            Check(fNumber >= 1 && fNumber <= fColours, "colour number out of range");
            Check(++fCells <= fWidth, "line too long");
            fDigits = 0;
            fNumber = 0;
        } else if (c == '\r') {
            Check(fDigits == 0 && fCells == fWidth, "line too short");
            fAfterCR = true;
        } else {
            Finding("unexpected character");
        }
    }

    int fWidth;
    int32_t fColours;
    int fLines = 0;
    int fCells = 0;
    int fDigits = 0;
    int32_t fNumber = 0;
    bool fAfterCR = false;
};

// One table for every input, reset by each as the window resets its own:
// its 64 MiB of slots are reserved once, not per input.
pix::TColorTable& FuzzColourTable()
{
    static pix::TColorTable table;
    return table;
}

void NumberAndWrite(const pix::TPNGGraphic& bitmap)
{
    pix::TColorTable& table = FuzzColourTable();
    Check(pix::NumberColours(bitmap, table), "first pass cancelled");
    const int32_t colours = table.ColorCount();
    Check(colours >= 1 && colours <= int64_t{bitmap.Width()} * bitmap.Height(), "colour count");
    for (int32_t k = 2; k <= colours; ++k)
        Check(table.Entry(k - 1) < table.Entry(k), "table not strictly ascending");

    TCsvChecker csv(bitmap.Width(), colours);
    Check(pix::WriteCsv(bitmap, table, csv), "second pass cancelled");
    Check(table.ColorCount() == colours, "second pass added a colour");
    Check(csv.Lines() == bitmap.Height() && csv.AtLineStart(), "line count");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (DeclaresHugeImage(data, size))
        return 0;
    // As the load flow: an empty table before the file is read.
    FuzzColourTable().Reset();
    pix::TPngImage image;
    const std::string outcome = LoadOutcome(image, data, size, true);
    // The faster inflate engine must never decide differently from zlib.
    pix::TPngImage byZlib;
    Check(LoadOutcome(byZlib, data, size, false) == outcome, "the inflate engines disagree");
    if (!outcome.empty())
        return 0;
    Check(Planes(image) == Planes(byZlib), "the inflate engines decoded different bytes");

    pix::TPNGGraphic bitmap;
    try {
        bitmap.Assign(image);
    } catch (const pix::EPngError&) {
        // A palette entry that does not exist: the bitmap keeps its new
        // size, and the export may still number it.
    }
    Check(bitmap.Width() == static_cast<int>(image.Width()) && bitmap.Height() == static_cast<int>(image.Height()),
          "bitmap size differs from the image");
    NumberAndWrite(bitmap);
    return 0;
}
