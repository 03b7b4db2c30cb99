#include "app/win32/PassProgress.h"

#include "app/core/Messages.h"
#include "controls/Density.h"
#include "platform/Utf16.h"

#include <commctrl.h>

#include <algorithm>

namespace pix {

namespace {

constexpr wchar_t kWindowClass[] = L"TPassProgress";
constexpr int kWidth = 320;
constexpr int kHeight = 120;

} // namespace

TWin32PassProgress::TWin32PassProgress(HWND owner, const std::string& label)
    : fOwner(owner)
    , fLabel(WideFromUtf8(label))
    , fStarted(GetTickCount64())
{
}

TWin32PassProgress::~TWin32PassProgress()
{
    if (!fWindow)
        return;
    // The owner is enabled first, so that it, not another program, gets the
    // focus back.
    EnableWindow(fOwner, TRUE);
    DestroyWindow(fWindow);
}

bool TWin32PassProgress::Report(int64_t donePixels, int64_t totalPixels)
{
    if (!fWindow && GetTickCount64() - fStarted >= kProgressDelayMs)
        Show();
    if (!fWindow)
        return true;
    SendMessageW(fBar, PBM_SETPOS, static_cast<WPARAM>(donePixels * kProgressSteps / std::max<int64_t>(totalPixels, 1)),
                 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Kept for the main loop, which ends once the pass is over.
            PostQuitMessage(static_cast<int>(message.wParam));
            fCancelled = true;
            break;
        }
        if (!IsDialogMessageW(fWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return !fCancelled;
}

void TWin32PassProgress::Show()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    RECT ownerFrame{};
    GetWindowRect(fOwner, &ownerFrame);
    const int density = GetDeviceCaps(TWindowDc(fOwner).Dc(), LOGPIXELSX);
    const auto scaled = [density](int length) { return ScaledLength(length, density); };
    const int width = scaled(kWidth);
    const int height = scaled(kHeight);
    fWindow = CreateWindowExW(WS_EX_DLGMODALFRAME, kWindowClass, WideFromUtf8(kWindowCaption).c_str(),
                              WS_POPUP | WS_CAPTION | WS_SYSMENU,
                              (ownerFrame.left + ownerFrame.right - width) / 2,
                              (ownerFrame.top + ownerFrame.bottom - height) / 2, width, height, fOwner, nullptr,
                              instance, this);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    fFont.reset(CreateFontIndirectW(&metrics.lfMessageFont));

    const HWND label = CreateWindowExW(0, L"STATIC", fLabel.c_str(), WS_CHILD | WS_VISIBLE, scaled(12), scaled(10),
                                       scaled(280), scaled(18), fWindow, nullptr, instance, nullptr);
    fBar = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, scaled(12), scaled(32), scaled(280),
                           scaled(16), fWindow, nullptr, instance, nullptr);
    SendMessageW(fBar, PBM_SETRANGE32, 0, kProgressSteps);
    const HWND cancel =
        CreateWindowExW(0, L"BUTTON", WideFromUtf8(kCancelButton).c_str(), WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON,
                        scaled(202), scaled(56), scaled(90), scaled(24), fWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, nullptr);
    for (const HWND control : {label, cancel})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fFont.get()), TRUE);

    EnableWindow(fOwner, FALSE);
    ShowWindow(fWindow, SW_SHOW);
    UpdateWindow(fWindow);
}

LRESULT CALLBACK TWin32PassProgress::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* progress = reinterpret_cast<TWin32PassProgress*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const bool cancels = (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE;
    if (progress && cancels) {
        progress->fCancelled = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace pix
