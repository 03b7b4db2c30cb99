#pragma once

#include "graphics/Bitmap32.h"

#include <windows.h>

namespace pix {

// A picture of one opaque colour, to composite the window's pictures onto.
TBitmap32 FilledPicture(int width, int height, COLORREF colour);

// Copies picture one to one to dc with its top left at (left, top); alpha is
// not looked at, the picture already holds what the window shows.
void DrawDevicePixels(HDC dc, int left, int top, const TBitmap32& picture);

// A black outline of the given pen width inside rectangle, in whole device
// pixels, as the preview's frame is drawn.
void DrawOutline(HDC dc, const RECT& rectangle, int pen);

} // namespace pix
