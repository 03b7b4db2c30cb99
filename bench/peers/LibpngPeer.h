#pragma once

// The standard decoder and plain zlib, as the benchmarks' yardsticks: PNG
// files written and read with libpng, and the image data of a file inflated
// by zlib alone. Linked into the benchmarks only, never into the reader.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pix::bench {

using TBytes = std::vector<uint8_t>;

struct TPictureFormat {
    uint32_t width = 0;
    uint32_t height = 0;
    int colorType = 2; // libpng's PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool adam7 = false;
    std::vector<uint8_t> palette; // red, green, blue per entry, colour type 3
};

// rows: height rows of width pixels in the file's sample layout (16-bit
// samples big-endian). libpng chooses the filters, as for any file it writes.
TBytes EncodeWithLibpng(const TPictureFormat& format, const TBytes& rows);

// The concatenated data of all IDAT chunks of a PNG file.
TBytes IdatData(const TBytes& file);

// Decodes a whole file into rows allocated for this decode, as a load must;
// returns the bytes of the decoded image.
size_t DecodeWithLibpng(const TBytes& file);

// Inflates a zlib stream whose inflated size is not known in advance;
// returns that size.
size_t InflateWithZlib(const TBytes& stream);

} // namespace pix::bench
