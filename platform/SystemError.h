#pragma once

#include <string>

namespace pix {

// The platform's text for an error code of a failed system call (errno),
// without trailing white space and full stops, ready to be put into a
// sentence.
std::string SystemErrorText(int errorCode);

} // namespace pix
