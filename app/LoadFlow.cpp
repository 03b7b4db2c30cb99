#include "app/MainWindow.h"
#include "app/WindowState.h"
#include "colours/ColorTable.h"
#include "controls/TImage.h"
#include "png/PngImage.h"

#include <QFileDialog>

namespace pix {

// The load flow: a new image object, the open dialog, an empty colour
// table, then the file read and drawn into the work bitmap. A failure ends
// the flow and reaches the error box.
void TForm1::Button1Click(QObject*)
{
    PngImage = std::make_unique<TPngImage>();
    ImageLoaded = false;
    const std::optional<QString> chosen = RunFileDialog(*OD);
    if (!chosen)
        return;
    // The next use of the dialog starts from this name.
    OD->selectFile(*chosen);

    ColorTable.Reset();
    ImageFileName = chosen->toStdString();
    PngImage->LoadFromFile(ImageFileName);
    Image1->Picture().Assign(*PngImage);
    // Marked loaded only once drawn: after a failed drawing the work bitmap
    // holds no picture of this file, and exporting it would write a table
    // of nothing but black.
    ImageLoaded = true;
}

} // namespace pix
