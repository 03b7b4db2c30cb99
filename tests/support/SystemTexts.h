#pragma once

#include "platform/InOutError.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <string>

namespace pix::testing {

// The system's words for a file that is not there, as the open failure
// puts them into its message.
inline std::string MissingFileText()
{
#ifdef _WIN32
    return SystemErrorText(kFileNotFound); // Windows' own code for it
#else
    return SystemErrorText(ENOENT);
#endif
}

} // namespace pix::testing
