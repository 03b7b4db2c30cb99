#pragma once

#include <string>
#include <string_view>

namespace pix {

// Every letter of a UTF-8 text in lower case, by the platform's own
// lower-casing (Cyrillic included), whatever the user's locale.
std::string LowerCase(std::string_view text);

} // namespace pix
