#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pix {

// Whether any argument after the program path is the version switch
// "/acver", compared with ASCII A-Z lowered. The command line has already
// been split and unquoted.
bool HasVersionSwitch(const std::vector<std::string>& argumentsAfterProgram);

// The parameters after the program's own path in a command line as the
// system hands it over in one piece: split at white space (codes 1 to 32)
// outside double-quoted runs, the quotes dropped, empty pairs of quotes in
// front of a parameter skipped.
std::vector<std::string> CommandLineParameters(std::string_view commandLine);

} // namespace pix
