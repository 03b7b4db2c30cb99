#include "platform/SystemError.h"

#include <cstring>

namespace pix {

std::string SystemErrorText(int errorCode)
{
    std::string text = std::strerror(errorCode);
    while (!text.empty() && (text.back() == '.' || static_cast<unsigned char>(text.back()) <= ' '))
        text.pop_back();
    return text;
}

} // namespace pix
