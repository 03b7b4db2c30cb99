#include "app/win32/MainWindow.h"

#include "app/core/Messages.h"
#include "app/core/WindowState.h"
#include "app/win32/GdiOwners.h"
#include "app/win32/PassProgress.h"
#include "controls/Density.h"
#include "controls/Placement.h"
#include "controls/PreviewPainter.h"
#include "controls/win32/DevicePixels.h"
#include "platform/Utf16.h"
#include "resources/Pictures.h"

#include <dlgs.h>
#include <windowsx.h>

#include <array>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace pix {

namespace {

constexpr wchar_t kWindowClass[] = L"TForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Long enough for any name the file system takes.
constexpr std::size_t kFileNameCapacity = 32768;

template <class TFunction>
TFunction User32Function(const char* name)
{
    // Through a plain function pointer, the type every exported function
    // may be cast from.
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(found));
}

// The density of the monitor the window is on; Vista and 7 know one for
// the whole system only.
int WindowDensity(HWND window)
{
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<TGetDpiForWindow>("GetDpiForWindow");
    if (getDpiForWindow)
        return static_cast<int>(getDpiForWindow(window));
    const TWindowDc screen(nullptr);
    return GetDeviceCaps(screen.Dc(), LOGPIXELSX);
}

RECT WindowRectForClient(int width, int height, int density)
{
    using TAdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<TAdjustForDpi>("AdjustWindowRectExForDpi");
    RECT rectangle{0, 0, width, height};
    if (adjustForDpi)
        adjustForDpi(&rectangle, kWindowStyle, FALSE, 0, static_cast<UINT>(density));
    else
        AdjustWindowRectEx(&rectangle, kWindowStyle, FALSE, 0);
    return rectangle;
}

// "Description|pattern" as the dialogs take it: pairs of strings ended by
// an empty one.
std::wstring DialogFilter(const char* filter)
{
    std::wstring pairs = WideFromUtf8(filter);
    for (wchar_t& character : pairs)
        if (character == L'|')
            character = L'\0';
    return pairs + std::wstring(2, L'\0');
}

// "*.csv" as the dialog takes a default extension, without "*.".
std::wstring DefaultExtension(const char* extension)
{
    std::wstring wide = WideFromUtf8(extension);
    return wide.substr(wide.find_first_not_of(L"*."));
}

// The extensions of the save dialog's file types, in the order of its list.
const std::array<std::wstring, 2>& SaveTypeExtensions()
{
    static const std::array<std::wstring, 2> extensions = {
        DefaultExtension(kSaveDialogDefaultExtension),
        DefaultExtension(std::strchr(kWorkbookDialogFilter, '|') + 1),
    };
    return extensions;
}

// The save dialog's file type and name go together: choosing another type
// gives the name in the box that type's extension, and a name typed without
// one gets it too. The system's dialog does neither on its own everywhere.
UINT_PTR CALLBACK FollowFileType(HWND hook, UINT message, WPARAM, LPARAM parameter)
{
    if (message != WM_NOTIFY)
        return 0;
    const auto* notification = reinterpret_cast<const OFNOTIFYW*>(parameter);
    if (notification->hdr.code != CDN_TYPECHANGE)
        return 0;
    const std::size_t type = notification->lpOFN->nFilterIndex;
    if (type < 1 || type > SaveTypeExtensions().size())
        return 0;
    const std::wstring& extension = SaveTypeExtensions()[type - 1];
    const HWND dialog = GetParent(hook);
    SendMessageW(dialog, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(extension.c_str()));
    std::vector<wchar_t> spec(kFileNameCapacity, L'\0');
    if (SendMessageW(dialog, CDM_GETSPEC, static_cast<WPARAM>(spec.size()), reinterpret_cast<LPARAM>(spec.data())) <= 1)
        return 0;
    std::wstring name = spec.data();
    const std::size_t dot = name.find_last_of(L'.');
    name = (dot == std::wstring::npos ? name : name.substr(0, dot)) + L"." + extension;
    SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name.c_str()));
    return 0;
}

std::optional<std::string> RunFileDialog(OPENFILENAMEW& dialog, std::vector<wchar_t>& name, bool save)
{
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    // An existing file is replaced without a question; a name of a file that
    // does not exist is taken, and the flow reports what it finds.
    dialog.Flags |= OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    const BOOL accepted = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!accepted)
        return std::nullopt;
    return Utf8FromWide(name.data());
}

std::vector<wchar_t> NameBuffer(const std::wstring& initial)
{
    std::vector<wchar_t> buffer(kFileNameCapacity, L'\0');
    initial.copy(buffer.data(), std::min(initial.size(), buffer.size() - 1));
    return buffer;
}

std::string ProgramFileName()
{
    std::vector<wchar_t> name(kFileNameCapacity, L'\0');
    GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    return Utf8FromWide(name.data());
}

} // namespace

void ShowErrorBox(HWND owner, const std::string& message)
{
    MessageBoxW(owner, WideFromUtf8(WithFullStop(message)).c_str(),
                WideFromUtf8(ApplicationTitle(ProgramFileName())).c_str(), MB_OK | MB_ICONERROR);
}

void ShowNoticeBox(const std::string& text)
{
    MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(ApplicationTitle(ProgramFileName())).c_str(), MB_OK);
}

TForm1::TForm1(HINSTANCE instance)
    : sImage1{kLoadButton.Bounds, kLoadButton.Tag, AtRestImageIndex(kLoadButton.Tag)}
    , sImage2{kSaveButton.Bounds, kSaveButton.Tag, AtRestImageIndex(kSaveButton.Tag)}
    , sAlphaImageList(std::make_unique<TsAlphaImageList>())
{
    LoadButtonPictures(*sAlphaImageList);
    Image1Picture.AssignPicture32(PlaceholderPicture());
    // The preview shows every pixel as it is stored.
    Image1Picture.OnChange = [this] {
        Image1Picture.Transparent = false;
        if (fHandle) {
            const RECT preview = DeviceRect(kImage1Bounds);
            InvalidateRect(fHandle, &preview, FALSE);
        }
    };

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    fHandle = CreateWindowExW(0, kWindowClass, WideFromUtf8(kWindowCaption).c_str(), kWindowStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, kClientWidth, kClientHeight, nullptr, nullptr, instance, this);
    if (!fHandle)
        throw std::runtime_error("The window cannot be created");
    fDensity = WindowDensity(fHandle);
    PlaceOnMonitor();
    FormCreate();
}

TForm1::~TForm1()
{
    if (fHandle) {
        SetWindowLongPtrW(fHandle, GWLP_USERDATA, 0);
        DestroyWindow(fHandle);
    }
}

void TForm1::FormCreate()
{
    SetUpWindowState();
}

void TForm1::Button1Click(TsImage&)
{
    RunLoadFlow(*this);
}

void TForm1::Button2Click(TsImage&)
{
    RunExportFlow(*this);
}

void TForm1::sImageMouseEnter(TsImage& Sender)
{
    SetImageIndex(Sender, PointerOverImageIndex(Sender.Tag));
}

void TForm1::sImageMouseLeave(TsImage& Sender)
{
    SetImageIndex(Sender, AtRestImageIndex(Sender.Tag));
}

std::optional<std::string> TForm1::RunOpenDialog()
{
    const std::wstring title = WideFromUtf8(kOpenDialogTitle);
    const std::wstring filter = DialogFilter(kOpenDialogFilter);
    std::vector<wchar_t> name = NameBuffer(fOpenFileName);
    OPENFILENAMEW dialog{};
    dialog.hwndOwner = fHandle;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrFilter = filter.c_str();
    std::optional<std::string> chosen = RunFileDialog(dialog, name, false);
    if (chosen)
        fOpenFileName = name.data();
    return chosen;
}

std::optional<std::string> TForm1::RunSaveDialog(const std::string& folder, const std::string& fileName)
{
    // The CSV first and chosen, the workbook second.
    const std::wstring filter = DialogFilter((std::string(kSaveDialogFilter) + "|" + kWorkbookDialogFilter).c_str());
    const std::wstring extension = DefaultExtension(kSaveDialogDefaultExtension);
    const std::wstring initialFolder = WideFromUtf8(folder);
    std::vector<wchar_t> name = NameBuffer(WideFromUtf8(fileName));
    OPENFILENAMEW dialog{};
    dialog.hwndOwner = fHandle;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_ENABLEHOOK;
    dialog.lpfnHook = FollowFileType;
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    return RunFileDialog(dialog, name, true);
}

std::unique_ptr<TPassProgress> TForm1::ShowProgress(const std::string& label)
{
    return std::make_unique<TWin32PassProgress>(fHandle, label);
}

TPNGGraphic& TForm1::WorkBitmap()
{
    return Image1Picture;
}

RECT TForm1::DeviceRect(const TDesignBounds& bounds) const
{
    const int left = ScaledLength(bounds.Left, fDensity);
    const int top = ScaledLength(bounds.Top, fDensity);
    return {left, top, left + ScaledLength(bounds.Width, fDensity), top + ScaledLength(bounds.Height, fDensity)};
}

TsImage* TForm1::ButtonAt(POINT point)
{
    for (TsImage* button : {&sImage1, &sImage2}) {
        const RECT bounds = DeviceRect(button->Bounds);
        if (PtInRect(&bounds, point))
            return button;
    }
    return nullptr;
}

void TForm1::SetImageIndex(TsImage& button, int index)
{
    if (button.ImageIndex == index)
        return;
    button.ImageIndex = index;
    const RECT bounds = DeviceRect(button.Bounds);
    InvalidateRect(fHandle, &bounds, TRUE);
    UpdateWindow(fHandle);
}

void TForm1::FollowPointer(POINT point)
{
    TsImage* under = ButtonAt(point);
    if (under == fHovered)
        return;
    TsImage* left = fHovered;
    fHovered = under;
    if (left)
        sImageMouseLeave(*left);
    if (under) {
        sImageMouseEnter(*under);
        if (!fTrackingLeave) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, fHandle, 0};
            fTrackingLeave = TrackMouseEvent(&track) != 0;
        }
    }
}

void TForm1::PlaceOnMonitor()
{
    const RECT frame = WindowRectForClient(ScaledLength(kClientWidth, fDensity), ScaledLength(kClientHeight, fDensity),
                                           fDensity);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(fHandle, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(fHandle, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::Paint(HDC dc)
{
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    RECT client{};
    GetClientRect(fHandle, &client);

    // Everything is composed off screen and put on the window in one copy,
    // so nothing flickers while the pointer moves over the buttons.
    const TMemoryDc memoryDc(CreateCompatibleDC(dc));
    const HDC memory = memoryDc.get();
    const TGdiObject<HBITMAP> surface(CreateCompatibleBitmap(dc, client.right, client.bottom));
    const TSelection selected(memory, surface.get());
    FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));

    const int pen = std::max(1, ScaledLength(1, fDensity));
    DrawOutline(memory, DeviceRect(kShape1Bounds), pen);

    const RECT preview = DeviceRect(kImage1Bounds);
    const TPlacementSize placement =
        PlacementSize(Image1Picture.Width(), Image1Picture.Height(), kImage1Bounds.Width, kImage1Bounds.Height);
    TBitmap32 picture =
        FilledPicture(ScaledLength(placement.Width, fDensity), ScaledLength(placement.Height, fDensity), background);
    if (!picture.Empty()) {
        PaintPreviewPicture(Image1Picture, picture);
        DrawDevicePixels(memory, preview.left, preview.top, picture);
    }

    const TPictureSize buttonPicture = sAlphaImageList->PictureSizeAt(fDensity);
    for (const TsImage* button : {&sImage1, &sImage2}) {
        const RECT bounds = DeviceRect(button->Bounds);
        TBitmap32 cache = FilledPicture(bounds.right - bounds.left, bounds.bottom - bounds.top, background);
        TBitmap32 image(buttonPicture.Width, buttonPicture.Height);
        if (sAlphaImageList->GetBitmap32(button->ImageIndex, image, 0))
            CompositeStraightAlpha(cache, image);
        DrawDevicePixels(memory, bounds.left, bounds.top, cache);
    }

    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

LRESULT CALLBACK TForm1::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->fHandle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    // A failure that escapes a handler is shown, and the window goes on
    // with the state the handler left.
    try {
        return form->Dispatch(message, wParam, lParam);
    } catch (const std::exception& failure) {
        ShowErrorBox(window, FailureMessage(failure));
        return 0;
    }
}

LRESULT TForm1::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_PAINT: {
        const TPaintSession paint(fHandle);
        Paint(paint.Dc());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the paint covers everything itself
    case WM_MOUSEMOVE:
        FollowPointer(point);
        return 0;
    case WM_MOUSELEAVE:
        fTrackingLeave = false;
        FollowPointer({-1, -1});
        return 0;
    case WM_SETCURSOR: {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(fHandle, &cursor);
        if (LOWORD(lParam) == HTCLIENT && ButtonAt(cursor)) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649))); // IDC_HAND
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN:
        fPressed = ButtonAt(point);
        if (fPressed)
            SetCapture(fHandle);
        return 0;
    case WM_LBUTTONUP: {
        TsImage* pressed = fPressed;
        fPressed = nullptr;
        ReleaseCapture();
        // A press that ends outside its button is no click.
        if (pressed && pressed == ButtonAt(point)) {
            if (pressed == &sImage1)
                Button1Click(*pressed);
            else
                Button2Click(*pressed);
        }
        return 0;
    }
    case WM_DPICHANGED: {
        fDensity = HIWORD(wParam);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(fHandle, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(fHandle, nullptr, FALSE);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(fHandle, message, wParam, lParam);
}

} // namespace pix
