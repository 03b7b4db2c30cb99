#pragma once

#include <string>

namespace pix {

// The name with its extension replaced by extension (".csv"), or extension
// appended when the last name component has no ".": "a/cat.png" gives
// "a/cat.csv", and a "." in a folder name is left alone.
std::string WithExtension(const std::string& name, const char* extension);

// The table's name derived from the picture's: WithExtension(name, ".csv").
std::string CsvFileName(const std::string& name);

// Everything up to and including the last separator; empty without one.
std::string FolderPart(const std::string& name);

// Everything after the last separator; the whole name without one.
std::string FilePart(const std::string& name);

// A folder part as the save dialog starts in it: one trailing separator is
// dropped, except that a root ("/", "C:\") keeps it.
std::string DialogFolder(const std::string& folderPart);

} // namespace pix
