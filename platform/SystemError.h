#pragma once

#include <string>

namespace pix {

// The platform's text for an error code of a failed system call (errno),
// without trailing white space and full stops, ready to be put into a
// sentence.
std::string SystemErrorText(int errorCode);

// The error code of the last failed system call of this thread, for a
// library that reports only that it failed; 0 when there was none since
// ClearLastSystemError.
int LastSystemError();
void ClearLastSystemError();

} // namespace pix
