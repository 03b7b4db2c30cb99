#include "tests/support/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <stdexcept>

namespace pix::testing {

namespace {

struct TPass {
    uint32_t firstRow, firstColumn, rowStep, columnStep;
};

constexpr TPass kPlain = {0, 0, 1, 1};
constexpr TPass kAdam7[7] = {
    {0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4}, {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1},
};

void Append(TBytes& to, const TBytes& bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// Packs samples of one row (MSB first for depths below 8, big-endian for 16).
TBytes PackRow(const TSampleImage& image, uint32_t y, const TPass& pass, uint32_t columns)
{
    const int channels = image.Channels();
    const int depth = image.bitDepth;
    TBytes row((size_t{columns} * channels * depth + 7) / 8, 0);
    size_t bit = 0;
    for (uint32_t i = 0; i < columns; ++i) {
        const uint32_t x = pass.firstColumn + i * pass.columnStep;
        for (int c = 0; c < channels; ++c, bit += depth) {
            const uint16_t sample = image.Sample(x, y, c);
            if (depth == 16) {
                row[bit / 8] = static_cast<uint8_t>(sample >> 8);
                row[bit / 8 + 1] = static_cast<uint8_t>(sample);
            } else {
                // Bit by bit, so that depths outside the standard may straddle bytes.
                for (int b = 0; b < depth; ++b)
                    if (sample >> (depth - 1 - b) & 1)
                        row[(bit + b) / 8] |= static_cast<uint8_t>(0x80 >> ((bit + b) % 8));
            }
        }
    }
    return row;
}

uint8_t Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

} // namespace

TBytes FilterRow(int type, const TBytes& row, const TBytes& previous, size_t bpp)
{
    TBytes out(row.size() + 1);
    out[0] = static_cast<uint8_t>(type);
    for (size_t i = 0; i < row.size(); ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = previous[i];
        const int c = i >= bpp ? previous[i - bpp] : 0;
        int predictor = 0;
        switch (type) {
        case 1: predictor = a; break;
        case 2: predictor = b; break;
        case 3: predictor = (a + b) / 2; break;
        case 4: predictor = Paeth(a, b, c); break;
        default: break;
        }
        out[i + 1] = static_cast<uint8_t>(row[i] - predictor);
    }
    return out;
}

uint32_t ChunkCrc(std::string_view type, const TBytes& data)
{
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), static_cast<uInt>(type.size()));
    // zlib answers a null buffer with the initial value, whatever the CRC so far.
    if (!data.empty())
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    return static_cast<uint32_t>(crc);
}

TBytes BigEndianBytes(uint32_t value)
{
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value)};
}

TBytes ZlibCompress(const TBytes& raw, int level)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    TBytes out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

TBytes IHDRData(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, uint8_t compression,
                uint8_t filter, uint8_t interlace)
{
    TBytes data = BigEndianBytes(width);
    Append(data, BigEndianBytes(height));
    Append(data, {bitDepth, colorType, compression, filter, interlace});
    return data;
}

TPngWriter& TPngWriter::Signature()
{
    return Raw({137, 80, 78, 71, 13, 10, 26, 10});
}

TPngWriter& TPngWriter::Chunk(std::string_view type, const TBytes& data)
{
    return ChunkWithCrc(type, data, ChunkCrc(type, data));
}

TPngWriter& TPngWriter::ChunkWithCrc(std::string_view type, const TBytes& data, uint32_t crc)
{
    return AppendChunk(static_cast<uint32_t>(data.size()), type, data, crc);
}

TPngWriter& TPngWriter::ChunkWithLength(std::string_view type, uint32_t declaredLength, const TBytes& data)
{
    return AppendChunk(declaredLength, type, data, ChunkCrc(type, data));
}

TPngWriter& TPngWriter::AppendChunk(uint32_t length, std::string_view type, const TBytes& data, uint32_t crc)
{
    Append(fBytes, BigEndianBytes(length));
    fBytes.insert(fBytes.end(), type.begin(), type.end());
    Append(fBytes, data);
    Append(fBytes, BigEndianBytes(crc));
    return *this;
}

TPngWriter& TPngWriter::Raw(const TBytes& bytes)
{
    Append(fBytes, bytes);
    return *this;
}

TPngWriter& TPngWriter::IHDR(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, uint8_t interlace)
{
    return Chunk("IHDR", IHDRData(width, height, bitDepth, colorType, 0, 0, interlace));
}

TPngWriter& TPngWriter::IDAT(const TBytes& zlibStream, const std::vector<size_t>& splitAt)
{
    size_t start = 0;
    for (size_t end : splitAt) {
        Chunk("IDAT", TBytes(zlibStream.begin() + start, zlibStream.begin() + end));
        start = end;
    }
    return Chunk("IDAT", TBytes(zlibStream.begin() + start, zlibStream.end()));
}

TPngWriter& TPngWriter::IEND()
{
    return Chunk("IEND", {});
}

int TSampleImage::Channels(uint8_t colorType)
{
    switch (colorType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

TSampleImage TSampleImage::Random(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, uint32_t seed)
{
    TSampleImage image{width, height, bitDepth, colorType, {}};
    std::mt19937 random(seed);
    const uint32_t limit = bitDepth >= 16 ? 65536 : 1u << bitDepth;
    image.samples.resize(size_t{width} * height * image.Channels());
    for (uint16_t& sample : image.samples)
        sample = static_cast<uint16_t>(random() % limit);
    return image;
}

TBytes FilteredScanlines(const TSampleImage& image, bool adam7, TFilterChoice filters)
{
    // Palette rows are filtered byte by byte even at 16 bits, a depth the
    // standard does not have and the reader takes this way.
    const size_t bpp = image.colorType == 3 ? 1 : std::max<size_t>(1, size_t{image.bitDepth} * image.Channels() / 8);
    TBytes out;
    const auto writePass = [&](const TPass& pass) {
        if (pass.firstColumn >= image.width)
            return;
        const uint32_t columns = (image.width - pass.firstColumn + pass.columnStep - 1) / pass.columnStep;
        TBytes previous;
        int rowInPass = 0;
        for (uint32_t y = pass.firstRow; y < image.height; y += pass.rowStep, ++rowInPass) {
            const TBytes row = PackRow(image, y, pass, columns);
            if (previous.empty())
                previous.assign(row.size(), 0);
            const int type = filters == TFilterChoice::Cycle ? rowInPass % 5 : static_cast<int>(filters);
            Append(out, FilterRow(type, row, previous, bpp));
            previous = row;
        }
    };
    if (adam7)
        for (const TPass& pass : kAdam7)
            writePass(pass);
    else
        writePass(kPlain);
    return out;
}

TBytes PaletteData(int entries)
{
    TBytes data;
    for (int i = 0; i < entries; ++i)
        data.insert(data.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
    return data;
}

TBytes EncodePng(const TSampleImage& image, bool adam7, TFilterChoice filters)
{
    TPngWriter writer;
    writer.Signature().IHDR(image.width, image.height, image.bitDepth, image.colorType, adam7 ? 1 : 0);
    if (image.colorType == 3)
        writer.Chunk("PLTE", PaletteData(1 << std::min<int>(image.bitDepth, 8)));
    return writer.IDAT(ZlibCompress(FilteredScanlines(image, adam7, filters))).IEND().Bytes();
}

} // namespace pix::testing
