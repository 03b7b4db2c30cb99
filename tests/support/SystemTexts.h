#pragma once

#include "platform/SystemError.h"

#include <cerrno>
#include <string>

namespace pix::testing {

// The system's words for a file that is not there, as the open failure
// puts them into its message.
inline std::string MissingFileText()
{
#ifdef _WIN32
    constexpr int kFileNotFound = 2; // ERROR_FILE_NOT_FOUND
    return SystemErrorText(kFileNotFound);
#else
    return SystemErrorText(ENOENT);
#endif
}

} // namespace pix::testing
