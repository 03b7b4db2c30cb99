#pragma once

#include <string>
#include <vector>

namespace pix {

// The text of the notice box that the start-up switch asks for.
inline constexpr const char* kVersionNotice = "Skinned controls v15.16";

// The error box's rule: a message that does not end in punctuation up to "."
// (0x2E) gets a full stop, so "File not found" reads as a sentence while a
// message ending in ".", "!", ")" or a quote stays as it is. Bytes of UTF-8
// sequences are above 0x2E, like the characters they encode.
std::string WithFullStop(std::string message);

// Whether any argument after the program path is the version switch
// "/acver", compared with ASCII A-Z lowered. The shell has already split
// and unquoted the command line.
bool HasVersionSwitch(const std::vector<std::string>& argumentsAfterProgram);

} // namespace pix
