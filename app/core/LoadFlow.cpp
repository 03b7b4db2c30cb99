#include "app/core/WindowFlows.h"
#include "app/core/WindowState.h"
#include "graphics/PngGraphic.h"
#include "png/PngImage.h"

namespace pix {

void RunLoadFlow(TWindowFrontEnd& frontEnd)
{
    PngImage = std::make_unique<TPngImage>();
    ImageLoaded = false;
    const std::optional<std::string> chosen = frontEnd.RunOpenDialog();
    if (!chosen)
        return;

    ColorTable.Reset();
    ImageFileName = *chosen;
    PngImage->LoadFromFile(ImageFileName);
    frontEnd.WorkBitmap().Assign(*PngImage);
    // Marked loaded only once drawn: after a failed drawing the work bitmap
    // holds no picture of this file, and exporting it would write a table
    // of nothing but black.
    ImageLoaded = true;
}

} // namespace pix
