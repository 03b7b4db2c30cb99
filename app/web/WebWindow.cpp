// The window's core as the page's worker runs it: the same state, flows,
// texts, buttons and preview painting as the desktop windows, with the
// page's file picker, type chooser, progress box and canvases in place of
// the toolkit's. The worker script calls the functions at the end, one at
// a time.

#include "app/core/Messages.h"
#include "app/core/WindowFlows.h"
#include "app/core/WindowLayout.h"
#include "app/core/WindowState.h"
#include "colours/WorkbookExport.h"
#include "controls/Density.h"
#include "controls/Placement.h"
#include "controls/PreviewPainter.h"
#include "controls/TsAlphaImageList.h"
#include "graphics/PngGraphic.h"
#include "resources/Pictures.h"

#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The page's side of a pass's progress (app/web/Bridge.js).
extern "C" {
void pixelizer_pass_begin(const char* label);
void pixelizer_pass_report(double donePixels, double totalPixels);
void pixelizer_pass_end();
}

namespace pix {

namespace {

// A picture as a canvas takes it: red, green, blue and alpha bytes, rows
// top to bottom. The worker script reads the three fields from the heap.
struct TCanvasPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    const uint8_t* Bytes = nullptr;
};

class TWebPassProgress final : public TPassProgress {
public:
    explicit TWebPassProgress(const std::string& label) { pixelizer_pass_begin(label.c_str()); }
    ~TWebPassProgress() override { pixelizer_pass_end(); }
    TWebPassProgress(const TWebPassProgress&) = delete;
    TWebPassProgress& operator=(const TWebPassProgress&) = delete;

    // Never cancels from here: a worker busy with a pass reads no messages,
    // so the page cancels by ending the worker, and with it every trace of
    // the table.
    bool Report(int64_t donePixels, int64_t totalPixels) override
    {
        pixelizer_pass_report(static_cast<double>(donePixels), static_cast<double>(totalPixels));
        return true;
    }
};

// A length in CSS pixels as whole device pixels, as the Qt window takes
// them: the allowance keeps an exact product that floating point puts a
// hair below its integer from losing a pixel.
int DeviceLength(int logical, double ratio)
{
    return static_cast<int>(std::floor(logical * ratio + 1e-9));
}

class TWebWindow final : public TWindowFrontEnd {
public:
    explicit TWebWindow(int32_t backgroundColour)
        : fBackground(backgroundColour)
    {
        fPicture.AssignPicture32(PlaceholderPicture());
        fPicture.OnChange = [this] { fPictureChanged = true; };
        LoadButtonPictures(fButtonPictures);
        ColorTable.Reset();
    }

    // The file the page's picker gave, or nothing when it was dismissed.
    std::optional<std::string> ChosenPicture;
    // The type chosen beside the save button.
    bool WorkbookChosen = false;

    std::optional<std::string> RunOpenDialog() override { return ChosenPicture; }

    // The browser saves the download under the proposed name, in its own
    // folder or one the user picks there.
    std::optional<std::string> RunSaveDialog(const std::string&, const std::string& fileName) override
    {
        return WorkbookChosen ? WorkbookFileName(fileName) : fileName;
    }

    std::unique_ptr<TPassProgress> ShowProgress(const std::string& label) override
    {
        return std::make_unique<TWebPassProgress>(label);
    }

    TPNGGraphic& WorkBitmap() override { return fPicture; }

    // True once after every change of the work bitmap: the preview is then
    // painted again.
    bool TakePictureChange() { return std::exchange(fPictureChanged, false); }

    // The preview as the Qt window paints it on a client of the given CSS
    // size: the placement in CSS pixels, painted at device pixels over the
    // background.
    const TCanvasPicture& PaintPreview(int clientWidth, int clientHeight, double ratio)
    {
        const TPlacementSize placement = PlacementSize(fPicture.Width(), fPicture.Height(), clientWidth, clientHeight);
        TBitmap32 target = Background(DeviceLength(placement.Width, ratio), DeviceLength(placement.Height, ratio));
        PaintPreviewPicture(fPicture, target);
        return Shown(target);
    }

    // A button's picture at the density of the device pixel ratio,
    // composited over the background.
    const TCanvasPicture& PaintButton(int index, double ratio)
    {
        const int density = static_cast<int>(std::lround(kDesignDensity * ratio));
        const TPictureSize size = fButtonPictures.PictureSizeAt(density);
        TBitmap32 target = Background(size.Width, size.Height);
        TBitmap32 picture(size.Width, size.Height);
        if (fButtonPictures.GetBitmap32(index, picture))
            CompositeStraightAlpha(target, picture);
        return Shown(target);
    }

private:
    TBitmap32 Background(int width, int height) const
    {
        TBitmap32 picture(width, height);
        for (int y = 0; y < picture.Height(); ++y) {
            uint8_t* pixel = picture.Row(y);
            for (int x = 0; x < picture.Width(); ++x, pixel += 4) {
                pixel[kRed] = static_cast<uint8_t>(fBackground);
                pixel[kGreen] = static_cast<uint8_t>(fBackground >> 8);
                pixel[kBlue] = static_cast<uint8_t>(fBackground >> 16);
                pixel[kAlpha] = 255;
            }
        }
        return picture;
    }

    const TCanvasPicture& Shown(const TBitmap32& picture)
    {
        fShownBytes.resize(static_cast<std::size_t>(picture.Width()) * picture.Height() * 4);
        uint8_t* out = fShownBytes.data();
        for (int y = 0; y < picture.Height(); ++y) {
            const uint8_t* pixel = picture.Row(y);
            for (int x = 0; x < picture.Width(); ++x, pixel += 4, out += 4) {
                out[0] = pixel[kRed];
                out[1] = pixel[kGreen];
                out[2] = pixel[kBlue];
                out[3] = pixel[kAlpha];
            }
        }
        fShown = {picture.Width(), picture.Height(), fShownBytes.data()};
        return fShown;
    }

    const int32_t fBackground;
    TPNGGraphic fPicture;
    bool fPictureChanged = true;
    TsAlphaImageList fButtonPictures;
    std::vector<uint8_t> fShownBytes;
    TCanvasPicture fShown;
};

std::unique_ptr<TWebWindow> gWindow;
std::string gFailure;

// Runs a flow as the window's event handling does: a failure that escapes
// it becomes the error box's text, which the worker script passes on.
template <class Flow>
const char* Handled(Flow flow)
{
    try {
        flow();
        return nullptr;
    } catch (const std::exception& failure) {
        gFailure = WithFullStop(FailureMessage(failure));
        return gFailure.c_str();
    }
}

// Bounds as a JSON array: left, top, width, height.
std::string Bounds(const TDesignBounds& bounds)
{
    return "[" + std::to_string(bounds.Left) + "," + std::to_string(bounds.Top) + "," + std::to_string(bounds.Width)
        + "," + std::to_string(bounds.Height) + "]";
}

// An image button as the page places and swaps it.
std::string Button(const TImageButtonLayout& button)
{
    return "{\"bounds\":" + Bounds(button.Bounds) + ",\"atRest\":" + std::to_string(AtRestImageIndex(button.Tag))
        + ",\"pointerOver\":" + std::to_string(PointerOverImageIndex(button.Tag)) + "}";
}

// A text as a JSON string.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

} // namespace pix

extern "C" {

// Creates the window over the page's background colour (red + 256 green +
// 65536 blue); programFile names the module's file, whose name titles the
// message boxes. The texts, layout and progress rules of the page, as a JSON
// object, so that the page says none of them again.
EMSCRIPTEN_KEEPALIVE const char* pixelizer_create(int32_t backgroundColour, const char* programFile)
{
    using namespace pix;
    gWindow = std::make_unique<TWebWindow>(backgroundColour);
    static std::string texts;
    texts = "{\"caption\":" + Quoted(kWindowCaption) + ",\"title\":" + Quoted(ApplicationTitle(programFile))
        + ",\"openFilter\":" + Quoted(kOpenDialogFilter) + ",\"saveFilter\":" + Quoted(kSaveDialogFilter)
        + ",\"workbookFilter\":" + Quoted(kWorkbookDialogFilter) + ",\"cancel\":" + Quoted(kCancelButton)
        + ",\"loadName\":" + Quoted(kLoadButtonName) + ",\"loadDescription\":" + Quoted(kLoadButtonDescription)
        + ",\"saveName\":" + Quoted(kSaveButtonName) + ",\"saveDescription\":" + Quoted(kSaveButtonDescription)
        + ",\"previewName\":" + Quoted(kPreviewName) + ",\"previewDescription\":" + Quoted(kPreviewDescription)
        + ",\"client\":[" + std::to_string(kClientWidth) + "," + std::to_string(kClientHeight) + "]"
        + ",\"frame\":" + Bounds(kShape1Bounds) + ",\"preview\":" + Bounds(kImage1Bounds)
        + ",\"load\":" + Button(kLoadButton) + ",\"save\":" + Button(kSaveButton)
        + ",\"progressDelayMs\":" + std::to_string(kProgressDelayMs)
        + ",\"progressSteps\":" + std::to_string(kProgressSteps) + "}";
    return texts.c_str();
}

// The load button with the picker's answer: a file's name, or null when
// the picker was dismissed. The failure text, or null.
EMSCRIPTEN_KEEPALIVE const char* pixelizer_load(const char* chosen)
{
    using namespace pix;
    gWindow->ChosenPicture = chosen ? std::optional<std::string>(chosen) : std::nullopt;
    return Handled([] { RunLoadFlow(*gWindow); });
}

// The save button with the type chosen beside it. The failure text, or null.
EMSCRIPTEN_KEEPALIVE const char* pixelizer_save(int workbook)
{
    using namespace pix;
    gWindow->WorkbookChosen = workbook != 0;
    return Handled([] { RunExportFlow(*gWindow); });
}

EMSCRIPTEN_KEEPALIVE int pixelizer_picture_changed()
{
    return pix::gWindow->TakePictureChange() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const pix::TCanvasPicture* pixelizer_paint_preview(int clientWidth, int clientHeight,
                                                                        double ratio)
{
    return &pix::gWindow->PaintPreview(clientWidth, clientHeight, ratio);
}

EMSCRIPTEN_KEEPALIVE const pix::TCanvasPicture* pixelizer_paint_button(int index, double ratio)
{
    return &pix::gWindow->PaintButton(index, ratio);
}

} // extern "C"
