#include "app/core/WindowFlows.h"
#include "app/core/WindowState.h"
#include "graphics/PngGraphic.h"
#include "png/PngImage.h"

namespace pix {

namespace {

// Every attempt starts with a new image object and nothing loaded.
void BeginLoadAttempt()
{
    PngImage = std::make_unique<TPngImage>();
    ImageLoaded = false;
}

void ReadAndDraw(TWindowFrontEnd& frontEnd, const std::string& fileName)
{
    ColorTable.Reset();
    ImageFileName = fileName;
    PngImage->LoadFromFile(ImageFileName);
    frontEnd.WorkBitmap().Assign(*PngImage);
    // Marked loaded only once drawn: after a failed drawing the work bitmap
    // holds no picture of this file, and exporting it would write a table
    // of nothing but black.
    ImageLoaded = true;
}

} // namespace

void RunLoadFlow(TWindowFrontEnd& frontEnd)
{
    BeginLoadAttempt();
    const std::optional<std::string> chosen = frontEnd.RunOpenDialog();
    if (!chosen)
        return;
    ReadAndDraw(frontEnd, *chosen);
}

void LoadChosenFile(TWindowFrontEnd& frontEnd, const std::string& fileName)
{
    BeginLoadAttempt();
    ReadAndDraw(frontEnd, fileName);
}

} // namespace pix
