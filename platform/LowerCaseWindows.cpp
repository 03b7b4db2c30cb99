#include "platform/LowerCase.h"

#include "platform/Utf16.h"

#include <windows.h>

namespace pix {

std::string LowerCase(std::string_view text)
{
    std::wstring wide = WideFromUtf8(text);
    if (!wide.empty())
        CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return Utf8FromWide(wide);
}

} // namespace pix
