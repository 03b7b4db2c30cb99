#include "graphics/PngGraphic.h"

#include "graphics/Bitmap32.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"

#include <algorithm>
#include <cstring>

namespace pix {

namespace {

TPixelFormat PlainFormat(const TChunkIHDR& header)
{
    switch (header.BitmapInfo.bmiHeader.biBitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return header.IHDRData.ColorType == ctPalette ? pf8bit : pf24bit;
    default: return pf24bit;
    }
}

std::vector<TPaletteEntry> PaletteOf(const TChunkIHDR& header)
{
    std::vector<TPaletteEntry> palette;
    if (!header.HasPalette)
        return palette;
    const auto used = std::min<std::size_t>(header.BitmapInfo.bmiHeader.biClrUsed, header.BitmapInfo.bmiColors.size());
    for (std::size_t i = 0; i < used; ++i) {
        const TRGBQuad& entry = header.BitmapInfo.bmiColors[i];
        palette.push_back({entry.rgbRed, entry.rgbGreen, entry.rgbBlue});
    }
    return palette;
}

// The composite of a colour byte onto black for colour types 4 and 6:
// d * (255 - A) + c * A, rounded, with d = 0.
uint8_t OverBlack255(int colour, int alpha)
{
    return static_cast<uint8_t>((colour * alpha + 127) / 255);
}

// The same for palette entries, which shift by 8 and round up instead.
uint8_t OverBlack256(int colour, int alpha)
{
    return static_cast<uint8_t>((colour * alpha + 255) >> 8);
}

} // namespace

// Assignment pipeline: size and format in one checked allocation (a
// composite starts from transparent black), the palette, then the pixels:
// copied 1:1, or for partial transparency composited onto black. Each step
// notifies the view.
void TPNGGraphic::Assign(const TPngImage& image)
{
    const TChunkIHDR& header = image.Header();
    const TPNGTransparencyMode mode = image.TransparencyMode();
    const auto width = static_cast<int>(header.IHDRData.Width);
    const auto height = static_cast<int>(header.IHDRData.Height);

    Reallocate(width, height, mode == ptmPartial ? pf32bit : PlainFormat(header));
    Changed();
    SetAlphaFormat(mode == ptmPartial ? afDefined : afIgnored);
    Changed();
    SetPalette(PaletteOf(header));
    Changed();

    if (mode == ptmPartial) {
        switch (header.IHDRData.ColorType) {
        case ctRGBAlpha: CompositeColourAlpha(image); break;
        case ctGrayscaleAlpha: CompositeGreyAlpha(image); break;
        default: CompositePalette(image); break;
        }
    } else {
        if (mode == ptmBit) {
            TransparentColor = image.TransparentColor();
            Transparent = true;
            Changed();
        }
        switch (PixelFormat()) {
        case pf24bit:
            if (header.HasPalette)
                CopyIndexedAsColours(image);
            else
                ShareRows(header);
            break;
        case pf8bit: ShareRows(header); break;
        default: CopyIndexed(image); break;
        }
    }
    Changed();
}

void TPNGGraphic::AssignPicture32(const TBitmap32& picture)
{
    Reallocate(picture.Width(), picture.Height(), pf32bit);
    SetAlphaFormat(afIgnored);
    SetPalette({});
    Transparent = false;
    if (!picture.Empty())
        std::memcpy(Row(0), picture.Bits(), RowBytes() * static_cast<std::size_t>(Height()));
    Changed();
}

// 24-bit colours and 8-bit indexes are stored as the bitmap stores them,
// bottom-up and padded: the bitmap reads the image's rows in place, so a
// load neither copies the picture nor touches memory for a second one.
void TPNGGraphic::ShareRows(const TChunkIHDR& header)
{
    const auto stride = static_cast<std::ptrdiff_t>(header.BytesPerRow);
    SharePixels(header.SharedImageData(), (Height() - 1) * stride, -stride);
}

void TPNGGraphic::CopyIndexed(const TPngImage& image)
{
    const int bitCount = image.Header().BitmapInfo.bmiHeader.biBitCount;
    for (int y = 0; y < Height(); ++y) {
        const uint8_t* source = image.Scanline(static_cast<uint32_t>(y));
        uint8_t* target = Row(y);
        for (int x = 0; x < Width(); ++x)
            target[x] = IndexAt(source, static_cast<uint32_t>(x), bitCount);
    }
}

void TPNGGraphic::CopyIndexedAsColours(const TPngImage& image)
{
    const auto& colours = image.Header().BitmapInfo.bmiColors;
    for (int y = 0; y < Height(); ++y) {
        const uint8_t* source = image.Scanline(static_cast<uint32_t>(y));
        uint8_t* target = Row(y);
        for (int x = 0; x < Width(); ++x, target += 3) {
            const TRGBQuad& colour = colours[source[x]];
            target[0] = colour.rgbBlue;
            target[1] = colour.rgbGreen;
            target[2] = colour.rgbRed;
        }
    }
}

void TPNGGraphic::CompositeColourAlpha(const TPngImage& image)
{
    for (int y = 0; y < Height(); ++y) {
        const uint8_t* source = image.Scanline(static_cast<uint32_t>(y));
        const uint8_t* alpha = image.AlphaScanline(static_cast<uint32_t>(y));
        uint8_t* target = Row(y);
        for (int x = 0; x < Width(); ++x, source += 3, target += 4) {
            const int a = alpha[x];
            target[0] = OverBlack255(source[0], a);
            target[1] = OverBlack255(source[1], a);
            target[2] = OverBlack255(source[2], a);
            target[3] = static_cast<uint8_t>(a);
        }
    }
}

void TPNGGraphic::CompositeGreyAlpha(const TPngImage& image)
{
    // The grey level is the stored sample, not its (gamma-corrected)
    // colour-table entry.
    for (int y = 0; y < Height(); ++y) {
        const uint8_t* source = image.Scanline(static_cast<uint32_t>(y));
        const uint8_t* alpha = image.AlphaScanline(static_cast<uint32_t>(y));
        uint8_t* target = Row(y);
        for (int x = 0; x < Width(); ++x, target += 4) {
            const uint8_t grey = OverBlack255(source[x], alpha[x]);
            target[0] = target[1] = target[2] = grey;
            target[3] = alpha[x];
        }
    }
}

void TPNGGraphic::CompositePalette(const TPngImage& image)
{
    const int bitCount = image.Header().BitmapInfo.bmiHeader.biBitCount;
    const TChunkPLTE* palette = image.Palette();
    const int entries = palette ? palette->Count() : 0;

    // Every index is checked before the first pixel is drawn, so a failure
    // leaves the bitmap transparent black throughout.
    int highestIndex = 0;
    for (int y = 0; y < Height(); ++y) {
        const uint8_t* source = image.Scanline(static_cast<uint32_t>(y));
        for (int x = 0; x < Width(); ++x)
            highestIndex = std::max<int>(highestIndex, IndexAt(source, static_cast<uint32_t>(x), bitCount));
    }
    if (highestIndex >= entries)
        RaiseError<EPngError>();

    const TChunktRNS* transparency = image.Transparency();
    std::array<std::array<uint8_t, 4>, 256> composite{};
    for (int i = 0; i < entries; ++i) {
        const uint32_t item = palette->GetPaletteItem(i); // blue + 256 green + 65536 red
        const int a = transparency ? transparency->PaletteValues[static_cast<std::size_t>(i)] : 255;
        composite[static_cast<std::size_t>(i)] = {OverBlack256(item & 255, a), OverBlack256((item >> 8) & 255, a),
                                                  OverBlack256((item >> 16) & 255, a), static_cast<uint8_t>(a)};
    }
    for (int y = 0; y < Height(); ++y) {
        const uint8_t* source = image.Scanline(static_cast<uint32_t>(y));
        uint8_t* target = Row(y);
        for (int x = 0; x < Width(); ++x, target += 4)
            std::memcpy(target, composite[IndexAt(source, static_cast<uint32_t>(x), bitCount)].data(), 4);
    }
}

} // namespace pix
