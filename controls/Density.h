#pragma once

namespace pix {

// The density that positions, sizes and pictures are designed at.
inline constexpr int kDesignDensity = 96;

// A length designed at 96 dots per inch, at another density: the integer
// product divided with truncation, so 255 is 318 at 120 and 382 at 144.
constexpr int ScaledLength(int designLength, int density)
{
    return density * designLength / kDesignDensity;
}

} // namespace pix
