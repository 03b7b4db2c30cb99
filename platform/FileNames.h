#pragma once

#include <string_view>

namespace pix {

// The characters that end a folder in a file name: "\" and ":" on Windows,
// where a drive ends in ":" and "/" is an ordinary character of a name;
// "/" alone elsewhere.
extern const std::string_view kFolderSeparators;

} // namespace pix
