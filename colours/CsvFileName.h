#pragma once

#include <string>

namespace pix {

// The name with its extension replaced by extension (".csv"), or extension
// appended when the last name component has no ".": "a/cat.png" gives
// "a/cat.csv", and a "." in a folder name is left alone.
std::string WithExtension(const std::string& name, const char* extension);

// The table's name derived from the picture's: WithExtension(name, ".csv").
std::string CsvFileName(const std::string& name);

} // namespace pix
