#include "graphics/Bitmap.h"

#include "platform/AvailableMemory.h"

#include <algorithm>
#include <string>

namespace pix {

namespace {

std::size_t ColourTableSize(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 2;
    case pf4bit: return 16;
    case pf8bit: return 256;
    default: return 0;
    }
}

std::size_t BytesPerPixelOf(TPixelFormat format)
{
    switch (format) {
    case pf24bit: return 3;
    case pf32bit: return 4;
    default: return 1;
    }
}

std::string OutOfMemoryMessage(int width, int height)
{
    return "Not enough memory to show an image of " + std::to_string(width) + " x " + std::to_string(height)
        + " pixels.";
}

} // namespace

std::size_t TBitmap::BytesPerPixel() const
{
    return BytesPerPixelOf(fPixelFormat);
}

void TBitmap::Reallocate(int width, int height, TPixelFormat format)
{
    const int newWidth = std::max(width, 0);
    const int newHeight = std::max(height, 0);
    const uint64_t bytes = static_cast<uint64_t>(newWidth) * static_cast<uint64_t>(newHeight) * BytesPerPixelOf(format);
    // Sizes come from files: an allocation the machine cannot back would be
    // granted by an overcommitting system and kill the process on first use.
    if (!MemoryCanHold(bytes))
        throw EOutOfResources(OutOfMemoryMessage(width, height));
    fPixelFormat = format;
    // Released first, so that the old and new pixels are never held at once.
    fPixels.reset();
    fFirstRow = nullptr;
    fWidth = 0;
    fHeight = 0;
    TPlane pixels = AllocatePlane(std::max<uint64_t>(bytes, 1));
    if (!pixels)
        throw EOutOfResources(OutOfMemoryMessage(width, height));
    fPixels = std::move(pixels);
    fWidth = newWidth;
    fHeight = newHeight;
    fFirstRow = fPixels.get();
    fStride = static_cast<std::ptrdiff_t>(RowBytes());
    UpdateColourOfIndex();
}

void TBitmap::SharePixels(std::shared_ptr<uint8_t[]> pixels, std::ptrdiff_t firstRowOffset, std::ptrdiff_t stride)
{
    fPixels = std::move(pixels);
    fFirstRow = fPixels.get() + firstRowOffset;
    fStride = stride;
}

void TBitmap::SetPalette(std::vector<TPaletteEntry> palette)
{
    fPalette = std::move(palette);
    UpdateColourOfIndex();
}

void TBitmap::UpdateColourOfIndex()
{
    fColourOfIndex.fill(0);
    const std::size_t used = std::min(ColourTableSize(fPixelFormat), fPalette.size());
    for (std::size_t i = 0; i < used; ++i)
        fColourOfIndex[i] = fPalette[i].ColourValue();
}

void TBitmap::Changed() const
{
    if (OnChange)
        OnChange();
}

int32_t TBitmap::Pixels(int x, int y) const
{
    if (x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return -1;
    int32_t value;
    ReadColours(x, y, 1, &value);
    return value;
}

uint8_t TBitmap::Alpha(int x, int y) const
{
    if (x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return 0;
    return fPixelFormat == pf32bit ? Row(y)[static_cast<std::size_t>(x) * 4 + 3] : 255;
}

void TBitmap::ReadColours(int x, int y, int count, int32_t* values) const
{
    const uint8_t* p = Row(y) + static_cast<std::size_t>(x) * BytesPerPixel();
    switch (fPixelFormat) {
    case pf24bit:
        for (int i = 0; i < count; ++i, p += 3)
            values[i] = p[2] | (p[1] << 8) | (p[0] << 16);
        break;
    case pf32bit:
        for (int i = 0; i < count; ++i, p += 4)
            values[i] = p[2] | (p[1] << 8) | (p[0] << 16);
        break;
    default:
        for (int i = 0; i < count; ++i)
            values[i] = fColourOfIndex[p[i]];
        break;
    }
}

} // namespace pix
