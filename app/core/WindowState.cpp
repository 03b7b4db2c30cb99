#include "app/core/WindowState.h"

#include "png/PngImage.h"

namespace pix {

bool ImageLoaded = false;
std::string ImageFileName;
std::unique_ptr<TPngImage> PngImage;
TColorTable ColorTable;

void SetUpWindowState()
{
    ColorTable.Reset();
}

} // namespace pix
