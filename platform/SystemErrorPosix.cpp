#include "platform/SystemError.h"

#include <cerrno>
#include <cstring>

namespace pix {

std::string SystemErrorText(int errorCode)
{
    std::string text = std::strerror(errorCode);
    while (!text.empty() && (text.back() == '.' || static_cast<unsigned char>(text.back()) <= ' '))
        text.pop_back();
    return text;
}

int LastSystemError()
{
    return errno;
}

void ClearLastSystemError()
{
    errno = 0;
}

} // namespace pix
