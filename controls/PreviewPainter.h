#pragma once

namespace pix {

class TBitmap;
class TBitmap32;

// Draws picture stretched to the whole of target, which holds what lies
// beneath (the window background). Scaling keeps or repeats whole rows and
// columns (nearest pixel); a pf32bit picture is composited over the target
// with the straight-alpha rule, any other format is copied opaque.
void PaintPreviewPicture(const TBitmap& picture, TBitmap32& target);

} // namespace pix
