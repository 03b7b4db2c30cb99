#pragma once

#include "graphics/Bitmap32.h"

#include <QByteArray>
#include <QIcon>
#include <QImage>

#include <cstdint>
#include <span>
#include <vector>

namespace pix {

// A picture carried inside the program as the bytes of a PNG file.
struct TEmbeddedPicture {
    const char* ImageName;
    QByteArray Png;
};

// The four button pictures in image-list order: Load2, Load1, Save2, Save1
// (each button's normal picture, then its pointer-over one).
std::vector<TEmbeddedPicture> ButtonPictures();
QByteArray PlaceholderPng();

// The bytes of a QByteArray as the PNG reader takes them; valid while the
// array is alive and unchanged.
inline std::span<const uint8_t> ByteSpan(const QByteArray& bytes)
{
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// Decodes PNG bytes with our own reader into blue, green, red, alpha bytes;
// a picture without an alpha channel is opaque throughout. Raises the
// reader's exceptions for a damaged file.
TBitmap32 DecodePicture32(std::span<const uint8_t> png);
TBitmap32 DecodePicture32(const QByteArray& png);

// The preview's picture before anything is loaded: a 305 x 305 straight-alpha
// glyph on a transparent background.
TBitmap32 PlaceholderPicture();

// Every size of the four-squares program icon.
QIcon ProgramIcon();

// The same pixels as a QImage of format ARGB32 (straight alpha).
QImage ToQImage(const TBitmap32& picture);

} // namespace pix
