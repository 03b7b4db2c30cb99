#pragma once

#include "platform/PlaneMemory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace pix {

enum TPixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };

struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;

    int32_t ColourValue() const { return Red + 256 * Green + 65536 * Blue; }
    bool operator==(const TPaletteEntry&) const = default;
};

// The machine cannot hold the pixels of a bitmap of the asked size.
class EOutOfResources : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A bitmap of 1, 4, 8, 24 or 32 bits per pixel, rows top-down. Indexed
// pixels are kept one byte each and the others as blue, green, red (and
// alpha), so reading a pixel is a single lookup whatever the format.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(TBitmap&&) = default;
    TBitmap& operator=(TBitmap&&) = default;
    virtual ~TBitmap() = default;

    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    TPixelFormat PixelFormat() const { return fPixelFormat; }
    TAlphaFormat AlphaFormat() const { return fAlphaFormat; }
    // The palette entries taken over from the picture; for the indexed
    // formats the first 2, 16 or 256 of them are the colour table.
    const std::vector<TPaletteEntry>& Palette() const { return fPalette; }

    // The colour value red + 256 green + 65536 blue of a pixel; -1 outside.
    int32_t Pixels(int x, int y) const;
    // The stored alpha of a pf32bit pixel, 255 for the other formats and 0
    // outside.
    uint8_t Alpha(int x, int y) const;
    // The colour values of count pixels of row y from x on, as Pixels gives
    // them; the range must lie inside the bitmap.
    void ReadColours(int x, int y, int count, int32_t* values) const;

    bool Transparent = false;
    int32_t TransparentColor = 0;

    // Called after each change of size, format, palette, transparency and
    // pixels, so that a view can repaint.
    std::function<void()> OnChange;

protected:
    // Resizes and reformats in one allocation, checked against the memory
    // the machine can give before anything changes; every pixel becomes 0.
    void Reallocate(int width, int height, TPixelFormat format);
    void SetAlphaFormat(TAlphaFormat format) { fAlphaFormat = format; }
    void SetPalette(std::vector<TPaletteEntry> palette);
    // Takes rows of this size and format that another object holds too,
    // instead of copying them: row y starts firstRowOffset + y * stride
    // bytes into pixels. They are read, never written.
    void SharePixels(std::shared_ptr<uint8_t[]> pixels, std::ptrdiff_t firstRowOffset, std::ptrdiff_t stride);
    uint8_t* Row(int y) { return fFirstRow + y * fStride; }
    std::size_t RowBytes() const { return static_cast<std::size_t>(fWidth) * BytesPerPixel(); }
    std::size_t BytesPerPixel() const;
    void Changed() const;

private:
    const uint8_t* Row(int y) const { return fFirstRow + y * fStride; }
    void UpdateColourOfIndex();

    int fWidth = 0;
    int fHeight = 0;
    TPixelFormat fPixelFormat = pf24bit;
    TAlphaFormat fAlphaFormat = afIgnored;
    std::vector<TPaletteEntry> fPalette;
    // Colour value of every index; indexes beyond the colour table read black.
    std::array<int32_t, 256> fColourOfIndex{};
    // Zero-filled as the decoded image's planes are, and allocated the same
    // way: a picture overwrites every pixel, so first touches are the cost.
    // Or the plane of a decoded image whose rows already have this format.
    std::shared_ptr<uint8_t[]> fPixels;
    uint8_t* fFirstRow = nullptr;
    std::ptrdiff_t fStride = 0;
};

} // namespace pix
