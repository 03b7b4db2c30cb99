#pragma once

#include "graphics/Bitmap32.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pix {

// The size the button pictures are drawn for, at 96 dots per inch.
inline constexpr int kButtonPictureWidth = 255;
inline constexpr int kButtonPictureHeight = 65;

// A picture carried inside the program as the bytes of a PNG file.
struct TEmbeddedPicture {
    const char* ImageName;
    std::span<const uint8_t> Png;
};

// The four button pictures in image-list order: Load2, Load1, Save2, Save1
// (each button's normal picture, then its pointer-over one).
std::vector<TEmbeddedPicture> ButtonPictures();
std::span<const uint8_t> PlaceholderPng();
// The four-squares program icon, smallest size first.
std::vector<std::span<const uint8_t>> ProgramIconPngs();

// Decodes PNG bytes with our own reader into blue, green, red, alpha bytes;
// a picture without an alpha channel is opaque throughout. Raises the
// reader's exceptions for a damaged file.
TBitmap32 DecodePicture32(std::span<const uint8_t> png);

// The preview's picture before anything is loaded: a 305 x 305 straight-alpha
// glyph on a transparent background.
TBitmap32 PlaceholderPicture();

} // namespace pix
