#include "controls/win32/DevicePixels.h"

namespace pix {

TBitmap32 FilledPicture(int width, int height, COLORREF colour)
{
    TBitmap32 picture(width, height);
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* pixel = picture.Row(y);
        for (int x = 0; x < picture.Width(); ++x, pixel += 4) {
            pixel[kBlue] = GetBValue(colour);
            pixel[kGreen] = GetGValue(colour);
            pixel[kRed] = GetRValue(colour);
            pixel[kAlpha] = 255;
        }
    }
    return picture;
}

void DrawDevicePixels(HDC dc, int left, int top, const TBitmap32& picture)
{
    if (picture.Empty())
        return;
    // Rows of a 32-bit picture are a top-down device-independent bitmap as
    // they stand: blue, green, red, one spare byte, no padding.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.Width();
    info.bmiHeader.biHeight = -picture.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(picture.Width()), static_cast<DWORD>(picture.Height()), 0, 0,
                      0, static_cast<UINT>(picture.Height()), picture.Bits(), &info, DIB_RGB_COLORS);
}

void DrawOutline(HDC dc, const RECT& rectangle, int pen)
{
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT edges[] = {
        {rectangle.left, rectangle.top, rectangle.right, rectangle.top + pen},
        {rectangle.left, rectangle.bottom - pen, rectangle.right, rectangle.bottom},
        {rectangle.left, rectangle.top, rectangle.left + pen, rectangle.bottom},
        {rectangle.right - pen, rectangle.top, rectangle.right, rectangle.bottom},
    };
    for (const RECT& edge : edges)
        FillRect(dc, &edge, black);
}

} // namespace pix
