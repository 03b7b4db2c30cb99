#include "platform/InOutError.h"

namespace pix {

// Windows' own error codes are the codes the messages are chosen by: 2 and
// 3 for missing files and folders, 5 for access, 32 for a file another
// program holds, 112 for a full disk.
EInOutError InOutErrorFromPlatform(int platformError)
{
    return EInOutError(platformError);
}

} // namespace pix
