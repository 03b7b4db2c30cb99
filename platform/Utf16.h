#pragma once

// Windows only: the system's names and texts are UTF-16, the program's UTF-8.

#include <string>
#include <string_view>

namespace pix {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

} // namespace pix
