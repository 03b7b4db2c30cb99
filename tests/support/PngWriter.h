#pragma once

// Test-only PNG writer: builds files chunk by chunk, with correct or
// deliberately wrong CRCs and lengths, from samples filtered and compressed
// here, so that every reader test makes its own file and a bad file is a good
// one with one thing changed.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pix::testing {

using TBytes = std::vector<uint8_t>;

// The CRC a chunk of this type and data must carry.
uint32_t ChunkCrc(std::string_view type, const TBytes& data);

TBytes BigEndianBytes(uint32_t value);

// The 13 data bytes of an IHDR chunk.
TBytes IHDRData(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, uint8_t compression = 0,
                uint8_t filter = 0, uint8_t interlace = 0);

// zlib stream (header, deflate data, Adler-32) of raw at the given level.
TBytes ZlibCompress(const TBytes& raw, int level = 6);

// A PNG datastream, written in the order the calls are made.
class TPngWriter {
public:
    TPngWriter& Signature();
    // A chunk with its true length and CRC.
    TPngWriter& Chunk(std::string_view type, const TBytes& data);
    TPngWriter& ChunkWithCrc(std::string_view type, const TBytes& data, uint32_t crc);
    // A length field that differs from the data that follows (CRC over the data).
    TPngWriter& ChunkWithLength(std::string_view type, uint32_t declaredLength, const TBytes& data);
    TPngWriter& Raw(const TBytes& bytes);

    TPngWriter& IHDR(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, uint8_t interlace = 0);
    // The zlib stream as a run of IDAT chunks, cut before each offset of
    // splitAt (ascending; repeated offsets give chunks of length 0).
    TPngWriter& IDAT(const TBytes& zlibStream, const std::vector<size_t>& splitAt = {});
    TPngWriter& IEND();

    const TBytes& Bytes() const { return fBytes; }

private:
    TPngWriter& AppendChunk(uint32_t length, std::string_view type, const TBytes& data, uint32_t crc);

    TBytes fBytes;
};

// The samples of an image as its file carries them: width * height pixels of
// Channels() samples, row-major, each below 2^bitDepth.
struct TSampleImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bitDepth = 8;
    uint8_t colorType = 0;
    std::vector<uint16_t> samples;

    static int Channels(uint8_t colorType); // 1, 3, 1, 2, 4 for types 0, 2, 3, 4, 6
    int Channels() const { return Channels(colorType); }
    uint16_t Sample(uint32_t x, uint32_t y, int channel) const
    {
        return samples[(size_t{y} * width + x) * Channels() + channel];
    }

    // Reproducible pseudo-random samples.
    static TSampleImage Random(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, uint32_t seed);
};

// Filter type per row: one fixed type, or Cycle, where the n-th row of the
// image (or of each Adam7 pass) takes type n % 5.
enum class TFilterChoice { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4, Cycle };

// One row filtered with filter type 0 to 4 against the row above (bpp:
// bytes per complete pixel, at least 1); the result starts with the type byte.
TBytes FilterRow(int type, const TBytes& row, const TBytes& previous, size_t bpp);

// The filtered scanlines, each with its filter-type byte, in plain or Adam7
// order; bits after the last pixel of a row are 0.
TBytes FilteredScanlines(const TSampleImage& image, bool adam7, TFilterChoice filters = TFilterChoice::Cycle);

// PLTE data of entries colours: entry i is red i, green 255 - i, blue 7 * i.
TBytes PaletteData(int entries);

// A complete file: signature, IHDR, for colour type 3 a PLTE chunk of
// PaletteData(2^depth, at most 256), the image data compressed in one IDAT
// chunk, IEND.
TBytes EncodePng(const TSampleImage& image, bool adam7, TFilterChoice filters = TFilterChoice::Cycle);

} // namespace pix::testing
