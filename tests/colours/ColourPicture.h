#pragma once

#include "graphics/Bitmap32.h"
#include "graphics/PngGraphic.h"

namespace pix::testing {

// A picture of width x height whose pixel i has colour value i % colours.
inline TPNGGraphic CyclingPicture(int width, int height, int colours)
{
    TBitmap32 picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int value = (y * width + x) % colours;
            uint8_t* pixel = picture.Row(y) + x * 4;
            pixel[kRed] = static_cast<uint8_t>(value);
            pixel[kGreen] = static_cast<uint8_t>(value >> 8);
            pixel[kBlue] = static_cast<uint8_t>(value >> 16);
            pixel[kAlpha] = 255;
        }
    TPNGGraphic bitmap;
    bitmap.AssignPicture32(picture);
    return bitmap;
}

} // namespace pix::testing
