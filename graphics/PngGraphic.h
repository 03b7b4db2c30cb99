#pragma once

#include "graphics/Bitmap.h"

namespace pix {

class TBitmap32;
class TChunkIHDR;
class TPngImage;

// The work bitmap: the picture the preview shows and the export numbers.
class TPNGGraphic : public TBitmap {
public:
    // Takes over size, format, palette and pixels of a decoded PNG image:
    // a 1:1 copy, or for partial transparency a composite onto black.
    void Assign(const TPngImage& image);
    // Becomes a pf32bit copy of a straight-alpha picture, alpha ignored.
    void AssignPicture32(const TBitmap32& picture);

private:
    void CopyIndexed(const TPngImage& image);
    void CopyIndexedAsColours(const TPngImage& image);
    void ShareRows(const TChunkIHDR& header);
    void CompositeColourAlpha(const TPngImage& image);
    void CompositeGreyAlpha(const TPngImage& image);
    void CompositePalette(const TPngImage& image);
};

} // namespace pix
