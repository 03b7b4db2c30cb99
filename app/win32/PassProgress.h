#pragma once

#include "app/core/WindowFlows.h"
#include "app/win32/GdiOwners.h"

#include <windows.h>

#include <string>

namespace pix {

// A small window with the pass's label, a bar and a cancel button. It
// appears once the pass has taken a moment; from then on it keeps the
// window responsive and, until it is gone, the only thing that takes input.
class TWin32PassProgress : public TPassProgress {
public:
    TWin32PassProgress(HWND owner, const std::string& label);
    ~TWin32PassProgress() override;
    TWin32PassProgress(const TWin32PassProgress&) = delete;
    TWin32PassProgress& operator=(const TWin32PassProgress&) = delete;

    bool Report(int64_t donePixels, int64_t totalPixels) override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Show();

    HWND fOwner;
    std::wstring fLabel;
    ULONGLONG fStarted;
    HWND fWindow = nullptr;
    HWND fBar = nullptr;
    // Deleted once the window that uses it is gone.
    TGdiObject<HFONT> fFont;
    bool fCancelled = false;
};

} // namespace pix
