#pragma once

namespace pix {

// The window's layout and the behaviour of its controls, the same in every
// front-end. Lengths are pixels at 96 dpi; each front-end scales them to
// the density of the monitor the window is on.

// A rectangle of the client area: its left, top, width and height.
struct TDesignBounds {
    int Left, Top, Width, Height;
};

inline constexpr int kClientWidth = 340;
inline constexpr int kClientHeight = 520;
// Shape1, the preview's frame, and Image1, the preview inside it.
inline constexpr TDesignBounds kShape1Bounds{12, 11, 316, 315};
inline constexpr TDesignBounds kImage1Bounds{17, 16, 305, 305};

// An image button: where it stands, and its Tag, the index in the image
// list of the picture it shows at rest and at start.
struct TImageButtonLayout {
    TDesignBounds Bounds;
    int Tag;
};
// sImage1 loads a picture, sImage2 saves its table.
inline constexpr TImageButtonLayout kLoadButton{{41, 344, 255, 65}, 0};
inline constexpr TImageButtonLayout kSaveButton{{41, 432, 255, 65}, 2};

// The hover rule of sImageMouseEnter and sImageMouseLeave: a button shows
// picture Tag + 1 while the pointer is over it and picture Tag otherwise,
// so the image list's order (at rest, pointer over; load, then save)
// carries the pairing.
constexpr int PointerOverImageIndex(int tag)
{
    return tag + 1;
}
constexpr int AtRestImageIndex(int tag)
{
    return tag;
}

} // namespace pix
