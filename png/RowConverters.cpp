#include "png/RowConverters.h"

#include <cstring>

namespace pix {

namespace {

bool IsIdentity(const TGammaTable& gamma)
{
    for (int i = 0; i < 256; ++i)
        if (gamma[i] != i)
            return false;
    return true;
}

// Plain rows of 1-, 4- and 8-bit indexes already have the buffer's layout;
// the bits after the last pixel land in the row's padding.
void CopyIndexes(const uint8_t* row, uint32_t rowBytes, uint32_t, const TRowTarget& target, const TGammaTable&)
{
    std::memcpy(target.data, row, rowBytes);
}

// 2-bit samples become 4-bit indexes, Scale times the sample: 5 spreads a
// grey level over the 16 grey entries, 1 keeps a palette index.
template <int Scale>
void WidenTwoBitRow(const uint8_t* row, uint32_t rowBytes, uint32_t, const TRowTarget& target, const TGammaTable&)
{
    uint8_t* out = target.data;
    for (uint32_t i = 0; i < rowBytes; ++i) {
        const uint8_t s = row[i];
        *out++ = static_cast<uint8_t>((s >> 6) * Scale << 4 | (s >> 4 & 3) * Scale);
        *out++ = static_cast<uint8_t>((s >> 2 & 3) * Scale << 4 | (s & 3) * Scale);
    }
}

// Adam7 rows of packed indexes: each pixel is ORed in at its own column of a
// buffer of BufferBits per pixel; only the row's pixels are written, not the
// unused bits of its last byte.
template <int SourceBits, int BufferBits, int Scale>
void ScatterPackedRow(const uint8_t* row, uint32_t, uint32_t pixels, const TRowTarget& target, const TGammaTable&)
{
    constexpr int kMask = (1 << SourceBits) - 1;
    uint32_t column = target.firstColumn;
    for (uint32_t i = 0; i < pixels; ++i, column += target.columnStep) {
        const int shift = 8 - SourceBits - static_cast<int>(i * SourceBits % 8);
        const int value = (row[i * SourceBits / 8] >> shift & kMask) * Scale;
        const int position = 8 - BufferBits - static_cast<int>(column * BufferBits % 8);
        target.data[column * BufferBits / 8] |= static_cast<uint8_t>(value << position);
    }
}

void ScatterIndexes(const uint8_t* row, uint32_t, uint32_t pixels, const TRowTarget& target, const TGammaTable&)
{
    uint8_t* out = target.data + target.firstColumn;
    for (uint32_t i = 0; i < pixels; ++i, out += target.columnStep)
        *out = row[i];
}

// 16-bit grey or palette: the high byte is the index, the low byte goes to
// the extra plane.
void ConvertIndexes16(const uint8_t* row, uint32_t, uint32_t pixels, const TRowTarget& target, const TGammaTable&)
{
    uint32_t column = target.firstColumn;
    for (uint32_t i = 0; i < pixels; ++i, column += target.columnStep) {
        target.data[column] = row[2 * i];
        target.extra[column] = row[2 * i + 1];
    }
}

// Grey with alpha: the grey sample (high byte) is the index, alpha keeps its
// high byte, the low byte of grey goes to the extra plane.
template <int SampleBytes>
void ConvertGreyAlpha(const uint8_t* row, uint32_t, uint32_t pixels, const TRowTarget& target, const TGammaTable&)
{
    uint32_t column = target.firstColumn;
    for (uint32_t i = 0; i < pixels; ++i, column += target.columnStep, row += 2 * SampleBytes) {
        target.data[column] = row[0];
        target.alpha[column] = row[SampleBytes];
        if constexpr (SampleBytes == 2)
            target.extra[column] = row[1];
    }
}

// RGB with or without alpha into blue-green-red, every colour byte through
// the gamma table; for 16-bit samples the high bytes go to ImageData and the
// low bytes to the extra plane.
template <int SampleBytes, bool Alpha>
void ConvertColour(const uint8_t* row, uint32_t, uint32_t pixels, const TRowTarget& target, const TGammaTable& gamma)
{
    constexpr int kPixelBytes = (Alpha ? 4 : 3) * SampleBytes;
    uint8_t* data = target.data + 3 * size_t{target.firstColumn};
    const size_t dataStep = 3 * size_t{target.columnStep};
    for (uint32_t i = 0; i < pixels; ++i, row += kPixelBytes, data += dataStep) {
        data[0] = gamma[row[2 * SampleBytes]];
        data[1] = gamma[row[SampleBytes]];
        data[2] = gamma[row[0]];
    }
    if constexpr (SampleBytes == 2) {
        row -= size_t{kPixelBytes} * pixels;
        uint8_t* extra = target.extra + 3 * size_t{target.firstColumn};
        for (uint32_t i = 0; i < pixels; ++i, row += kPixelBytes, extra += dataStep) {
            extra[0] = gamma[row[5]];
            extra[1] = gamma[row[3]];
            extra[2] = gamma[row[1]];
        }
    }
    if constexpr (Alpha) {
        row -= size_t{kPixelBytes} * pixels;
        uint8_t* alpha = target.alpha + target.firstColumn;
        for (uint32_t i = 0; i < pixels; ++i, alpha += target.columnStep)
            *alpha = row[size_t{kPixelBytes} * i + 3 * SampleBytes];
    }
}

// The common case of 8-bit RGB without a gAMA chunk: a plain byte swap that
// the compiler can vectorise.
void SwapRGB(const uint8_t* row, uint32_t, uint32_t pixels, const TRowTarget& target, const TGammaTable&)
{
    uint8_t* data = target.data;
    for (uint32_t i = 0; i < pixels; ++i, row += 3, data += 3) {
        data[0] = row[2];
        data[1] = row[1];
        data[2] = row[0];
    }
}

} // namespace

TRowConverter FindRowConverter(uint8_t colorType, uint8_t bitDepth, bool adam7, const TGammaTable& gamma)
{
    switch (colorType) {
    case ctGrayscale:
    case ctPalette: {
        const bool grey = colorType == ctGrayscale;
        switch (bitDepth) {
        case 1: return adam7 ? ScatterPackedRow<1, 1, 1> : CopyIndexes;
        case 2:
            if (adam7)
                return grey ? ScatterPackedRow<2, 4, 5> : ScatterPackedRow<2, 4, 1>;
            return grey ? WidenTwoBitRow<5> : WidenTwoBitRow<1>;
        case 4: return adam7 ? ScatterPackedRow<4, 4, 1> : CopyIndexes;
        case 8: return adam7 ? ScatterIndexes : CopyIndexes;
        case 16: return ConvertIndexes16;
        default: return nullptr;
        }
    }
    case ctGrayscaleAlpha:
        return bitDepth == 8 ? ConvertGreyAlpha<1> : bitDepth == 16 ? ConvertGreyAlpha<2> : nullptr;
    case ctRGB:
        if (bitDepth == 8 && !adam7 && IsIdentity(gamma))
            return SwapRGB;
        return bitDepth == 8 ? ConvertColour<1, false> : bitDepth == 16 ? ConvertColour<2, false> : nullptr;
    case ctRGBAlpha:
        return bitDepth == 8 ? ConvertColour<1, true> : bitDepth == 16 ? ConvertColour<2, true> : nullptr;
    default:
        return nullptr;
    }
}

} // namespace pix
