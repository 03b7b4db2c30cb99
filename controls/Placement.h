#pragma once

namespace pix {

struct TPlacementSize {
    int Width = 0;
    int Height = 0;

    bool operator==(const TPlacementSize&) const = default;
};

// The size of the rectangle, anchored at the preview's top-left corner, that
// a picture of pictureWidth x pictureHeight fills when it is stretched to the
// client area keeping its proportions.
TPlacementSize PlacementSize(int pictureWidth, int pictureHeight, int clientWidth, int clientHeight);

} // namespace pix
