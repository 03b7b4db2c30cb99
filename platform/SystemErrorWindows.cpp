#include "platform/SystemError.h"

#include "platform/Utf16.h"

#include <windows.h>

namespace pix {

std::string SystemErrorText(int errorCode)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length == 0 ? "System error " + std::to_string(errorCode)
                                   : Utf8FromWide(std::wstring_view(buffer, length));
    LocalFree(buffer);
    // The system's texts end in ".\r\n"; the caller puts them into a sentence.
    while (!text.empty() && (text.back() == '.' || static_cast<unsigned char>(text.back()) <= ' '))
        text.pop_back();
    return text;
}

// The runtime's file calls fail through the system's, which leave their
// own code here: 112 for a full disk rather than the runtime's ENOSPC.
int LastSystemError()
{
    return static_cast<int>(GetLastError());
}

void ClearLastSystemError()
{
    SetLastError(0);
}

} // namespace pix
