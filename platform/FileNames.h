#pragma once

#include <string>
#include <string_view>

namespace pix {

// The characters that end a folder in a file name: "\" and ":" on Windows,
// where a drive ends in ":" and "/" is an ordinary character of a name;
// "/" alone elsewhere.
extern const std::string_view kFolderSeparators;

// Everything up to and including the last separator; empty without one.
std::string FolderPart(const std::string& name);

// Everything after the last separator; the whole name without one.
std::string FilePart(const std::string& name);

// A folder part as the save dialog starts in it: one trailing separator is
// dropped, except that a root ("/", "C:\") keeps it.
std::string DialogFolder(const std::string& folderPart);

} // namespace pix
