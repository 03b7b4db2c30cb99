#pragma once

#include "colours/ColorTable.h"

#include <memory>
#include <string>

namespace pix {

class TPngImage;

// The state the load and export flows share. It lives at namespace level,
// as long as the program, not in a window object.

// True only when the last load attempt read its file and drew it into the
// work bitmap; the export does nothing while it is false.
extern bool ImageLoaded;
// The chosen file's full name (UTF-8); the export rewrites it to the
// derived ".csv" name.
extern std::string ImageFileName;
// The image object of the last load attempt; a new one for every attempt.
extern std::unique_ptr<TPngImage> PngImage;
// The colours of the loaded picture, numbered by the export.
extern TColorTable ColorTable;

// What FormCreate does before the window is first shown: the colour table
// is reset.
void SetUpWindowState();

} // namespace pix
