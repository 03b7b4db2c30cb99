#include "platform/AvailableMemory.h"
#include "png/BigEndian.h"
#include "png/Chunks.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"

#include <algorithm>

namespace pix {

namespace {

bool IsKnownColorType(uint8_t colorType)
{
    return colorType == ctGrayscale || colorType == ctRGB || colorType == ctPalette ||
           colorType == ctGrayscaleAlpha || colorType == ctRGBAlpha;
}

// Bits per stored pixel: 2-bit samples are widened to 4 bits, 16-bit ones
// keep their high byte; 0 where no buffer layout exists for the pair.
uint16_t BitCountFor(uint8_t colorType, uint8_t bitDepth)
{
    switch (colorType) {
    case ctGrayscale:
    case ctPalette:
    case ctGrayscaleAlpha:
        switch (bitDepth) {
        case 1: return 1;
        case 2:
        case 4: return 4;
        case 8:
        case 16: return 8;
        default: return 0;
        }
    case ctRGB:
    case ctRGBAlpha:
        return 24;
    default:
        return 0;
    }
}

// Stands in for the colour table of a palette image until its PLTE chunk
// arrives, and stays when none does: the 3-3-2 colour cube, index bits
// rrrgggbb, each level spread evenly over 0 .. 255.
TRGBQuad ProvisionalPaletteEntry(int index)
{
    const auto level = [](int value, int maximum) { return static_cast<uint8_t>((value * 255 + maximum / 2) / maximum); };
    return TRGBQuad{level(index & 3, 3), level(index >> 2 & 7, 7), level(index >> 5 & 7, 7), 0};
}

} // namespace

void TChunkIHDR::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunk::LoadFromStream(stream, size);
    if (size < 13)
        RaiseError<EPngInvalidIHDR>();
    IHDRData.Width = BigEndian32(fData.data());
    IHDRData.Height = BigEndian32(fData.data() + 4);
    IHDRData.BitDepth = fData[8];
    IHDRData.ColorType = fData[9];
    IHDRData.CompressionMethod = fData[10];
    IHDRData.FilterMethod = fData[11];
    IHDRData.InterlaceMethod = fData[12];

    if (IHDRData.Width > 65535 || IHDRData.Height > 65535)
        RaiseError<EPNGSizeExceeds>();
    // An empty image has nothing to show or number.
    if (IHDRData.Width == 0 || IHDRData.Height == 0)
        RaiseError<EPngInvalidIHDR>();
    if (IHDRData.CompressionMethod != 0)
        RaiseError<EPNGUnknownCompression>();
    if (IHDRData.InterlaceMethod > 1)
        RaiseError<EPNGUnknownInterlace>();
    if (!IsKnownColorType(IHDRData.ColorType))
        RaiseError<EPNGUnknownColorType>();
    if (IHDRData.BitDepth == 0)
        RaiseError<EPNGInvalidBitDepth>();

    fOwner.fInterlaceMethod = static_cast<TInterlaceMethod>(IHDRData.InterlaceMethod);
    PrepareImageBuffer();
}

void TChunkIHDR::PrepareImageBuffer()
{
    BitmapInfo = TMaxBitmapInfo{};
    fImageData.reset();
    fImageAlpha.reset();
    fExtraImageData.reset();

    const uint32_t width = IHDRData.Width;
    const uint32_t height = IHDRData.Height;
    const uint8_t colorType = IHDRData.ColorType;
    const uint8_t bitDepth = IHDRData.BitDepth;
    TBitmapInfoHeader& info = BitmapInfo.bmiHeader;
    info.biSize = 40;
    info.biWidth = static_cast<int32_t>(width);
    info.biHeight = static_cast<int32_t>(height);
    info.biPlanes = 1;
    info.biBitCount = BitCountFor(colorType, bitDepth);
    HasPalette = colorType != ctRGB && colorType != ctRGBAlpha && info.biBitCount != 0;
    BytesPerRow = (info.biBitCount * width + 31) / 32 * 4;

    // Up to 65535 x 65535 pixels the planes need about 30 GB together, so
    // they are measured against the machine before any of them exists.
    const uint64_t dataBytes = uint64_t{BytesPerRow} * height;
    const uint64_t alphaBytes = colorType == ctGrayscaleAlpha || colorType == ctRGBAlpha ? uint64_t{width} * height : 0;
    const uint64_t extraBytes = bitDepth == 16 ? dataBytes : 0;
    if (!MemoryCanHold(dataBytes + alphaBytes + extraBytes))
        RaiseError<EPNGOutOfMemory>(OutOfMemoryText(width, height));
    const auto allocate = [&](TPlane& plane, uint64_t bytes) {
        if (bytes == 0)
            return;
        plane = AllocatePlane(bytes);
        if (!plane)
            RaiseError<EPNGOutOfMemory>(OutOfMemoryText(width, height));
    };
    TPlane imageData;
    allocate(imageData, dataBytes);
    fImageData = std::move(imageData);
    allocate(fImageAlpha, alphaBytes);
    allocate(fExtraImageData, extraBytes);

    if (!HasPalette)
        return;
    if (colorType != ctPalette) {
        // One entry per level of the file's samples: a 2-bit image fills 4
        // of its 16 entries until the image data installs the final table.
        InstallGreyRamp(1 << std::min<int>(bitDepth, 8));
        return;
    }
    const int tableSize = 1 << info.biBitCount;
    std::array<TRGBQuad, 256> provisional{};
    for (int k = 0; k < tableSize; ++k)
        provisional[k] = ProvisionalPaletteEntry(k);
    InstallPalette(std::span(provisional.data(), static_cast<size_t>(tableSize)));
}

void TChunkIHDR::InstallPalette(std::span<const TRGBQuad> colours)
{
    if (!HasPalette)
        return;
    const size_t count = std::min<size_t>(colours.size(), BitmapInfo.bmiColors.size());
    std::copy_n(colours.begin(), count, BitmapInfo.bmiColors.begin());
    BitmapInfo.bmiHeader.biClrUsed = static_cast<uint32_t>(count);
}

void TChunkIHDR::InstallGreyColorTable()
{
    InstallGreyRamp(1 << BitmapInfo.bmiHeader.biBitCount);
}

void TChunkIHDR::InstallGreyRamp(int levels)
{
    const int tableSize = 1 << BitmapInfo.bmiHeader.biBitCount;
    std::array<TRGBQuad, 256> greys{};
    for (int k = 0; k < std::min(levels, tableSize); ++k) {
        const uint8_t grey = fOwner.GammaTable[k * 255 / (levels - 1)];
        greys[k] = TRGBQuad{grey, grey, grey, 0};
    }
    InstallPalette(std::span(greys.data(), static_cast<size_t>(tableSize)));
}

} // namespace pix
