#pragma once

#include "app/core/WindowFlows.h"
#include "app/core/WindowLayout.h"
#include "controls/TsAlphaImageList.h"
#include "graphics/PngGraphic.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace pix {

// An image button drawn on the window's surface: it has no window of its own.
struct TsImage {
    TDesignBounds Bounds;
    int Tag = 0;
    int ImageIndex = 0;
};

// The one window of the program. Its components and handlers keep the names
// of the window's description; its state lives in app/core/WindowState.h,
// its flows in app/core, and this class only draws and dispatches.
class TForm1 : public TWindowFrontEnd {
public:
    explicit TForm1(HINSTANCE instance);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    HWND Handle() const { return fHandle; }

    TsImage sImage1;
    TsImage sImage2;
    std::unique_ptr<TsAlphaImageList> sAlphaImageList;
    // Image1's picture: the placeholder, then each loaded picture.
    TPNGGraphic Image1Picture;

    void FormCreate();
    void Button1Click(TsImage& Sender);
    void Button2Click(TsImage& Sender);
    void sImageMouseEnter(TsImage& Sender);
    void sImageMouseLeave(TsImage& Sender);

    std::optional<std::string> RunOpenDialog() override;
    std::optional<std::string> RunSaveDialog(const std::string& folder, const std::string& fileName) override;
    std::unique_ptr<TPassProgress> ShowProgress(const std::string& label) override;
    TPNGGraphic& WorkBitmap() override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    RECT DeviceRect(const TDesignBounds& bounds) const;
    TsImage* ButtonAt(POINT point);
    void SetImageIndex(TsImage& button, int index);
    void FollowPointer(POINT point);
    void Paint(HDC dc);
    void PlaceOnMonitor();

    HWND fHandle = nullptr;
    int fDensity = 96;
    TsImage* fHovered = nullptr;
    TsImage* fPressed = nullptr;
    bool fTrackingLeave = false;
    // The open dialog starts at the name chosen last.
    std::wstring fOpenFileName;
};

// The error box: the message with its full stop, captioned with the
// application title.
void ShowErrorBox(HWND owner, const std::string& message);
// The notice box: a plain box with one OK button.
void ShowNoticeBox(const std::string& text);

} // namespace pix
