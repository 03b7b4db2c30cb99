#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pix {

// A 32-bit picture: four bytes per pixel in the order blue, green, red, alpha,
// alpha straight (colours are not multiplied by it), rows top-down without
// padding. The buttons' pictures, the placeholder and the compositing
// surfaces of the preview and the buttons are all of this kind.
class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(int width, int height) { SetSize(width, height); }

    // Every pixel becomes transparent black; negative sizes count as 0.
    void SetSize(int width, int height);

    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    bool Empty() const { return fWidth == 0 || fHeight == 0; }

    uint8_t* Row(int y) { return fPixels.data() + static_cast<std::size_t>(y) * RowBytes(); }
    const uint8_t* Row(int y) const { return fPixels.data() + static_cast<std::size_t>(y) * RowBytes(); }
    uint8_t* Bits() { return fPixels.data(); }
    const uint8_t* Bits() const { return fPixels.data(); }
    std::size_t RowBytes() const { return static_cast<std::size_t>(fWidth) * 4; }

    bool operator==(const TBitmap32&) const = default;

private:
    int fWidth = 0;
    int fHeight = 0;
    std::vector<uint8_t> fPixels;
};

enum : int { kBlue = 0, kGreen = 1, kRed = 2, kAlpha = 3 };

// One colour byte d of the destination under source byte s with source alpha a:
// d + (s - d) * a / 256, rounded down. Dividing by 256 rather than 255 is the
// rule every picture of the window is drawn with, so opaque bright source
// bytes above the destination come out one lower (255 over 240 gives 254).
constexpr uint8_t BlendStraight(uint8_t destination, uint8_t source, uint8_t alpha)
{
    const int d = destination;
    return static_cast<uint8_t>((256 * d + (source - d) * alpha) >> 8);
}

// Composites source onto destination with its top-left corner at (left, top),
// clipped to the destination; the destination alpha becomes the larger of
// the two alphas.
void CompositeStraightAlpha(TBitmap32& destination, const TBitmap32& source, int left = 0, int top = 0);

} // namespace pix
