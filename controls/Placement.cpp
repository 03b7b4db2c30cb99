#include "controls/Placement.h"

#include <cfloat>

// The placement and the preview's scaling weights round to double where the
// rules say so; x87 registers (32-bit x86 without SSE2 arithmetic) would
// keep extra bits there and move pictures by a pixel.
static_assert(FLT_EVAL_METHOD == 0, "build 32-bit x86 with -msse2 -mfpmath=sse");

namespace pix {

TPlacementSize PlacementSize(int pictureWidth, int pictureHeight, int clientWidth, int clientHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return {clientWidth, clientHeight};
    // The ratio is rounded to double, but the quotients and products are
    // taken with the 64-bit mantissa of long double before truncation:
    // 500 x 300 gives 182 rows, where double arithmetic would give 183.
    const long double ratio = static_cast<double>(pictureWidth) / pictureHeight;
    const long double cw = clientWidth;
    const long double ch = clientHeight;
    TPlacementSize size;
    if (pictureHeight < pictureWidth) {
        size = {clientWidth, static_cast<int>(cw / ratio)};
        if (size.Height > clientHeight)
            size = {static_cast<int>(ch * ratio), clientHeight};
    } else {
        size = {static_cast<int>(ch * ratio), clientHeight};
        if (size.Width > clientWidth)
            size = {clientWidth, static_cast<int>(cw / ratio)};
    }
    return size;
}

} // namespace pix
