#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace pix {

// Owners of what drawing takes from the system: a failure between taking
// and giving back (a picture too large for memory, say) still gives back
// every object and ends the paint, so the window can paint again.

struct TDeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
// A bitmap, brush, pen or font of our own, released by DeleteObject.
template <class THandle>
using TGdiObject = std::unique_ptr<std::remove_pointer_t<THandle>, TDeleteGdiObject>;

struct TDeleteDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
// A device context of our own, from CreateCompatibleDC.
using TMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, TDeleteDc>;

// An object selected into a device context; the one it replaced is selected
// again at the end, so the object can then be deleted.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object)
        : fDc(dc)
        , fPrevious(SelectObject(dc, object))
    {
    }
    ~TSelection() { SelectObject(fDc, fPrevious); }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

private:
    HDC fDc;
    HGDIOBJ fPrevious;
};

// The device context of a window, or of the screen for nullptr, from GetDC.
class TWindowDc {
public:
    explicit TWindowDc(HWND window)
        : fWindow(window)
        , fDc(GetDC(window))
    {
    }
    ~TWindowDc() { ReleaseDC(fWindow, fDc); }
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;

    HDC Dc() const { return fDc; }

private:
    HWND fWindow;
    HDC fDc;
};

// One WM_PAINT, from BeginPaint to EndPaint.
class TPaintSession {
public:
    explicit TPaintSession(HWND window)
        : fWindow(window)
        , fDc(BeginPaint(window, &fPaint))
    {
    }
    ~TPaintSession() { EndPaint(fWindow, &fPaint); }
    TPaintSession(const TPaintSession&) = delete;
    TPaintSession& operator=(const TPaintSession&) = delete;

    HDC Dc() const { return fDc; }

private:
    HWND fWindow;
    PAINTSTRUCT fPaint{};
    HDC fDc;
};

} // namespace pix
