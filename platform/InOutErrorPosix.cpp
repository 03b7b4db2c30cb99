#include "platform/InOutError.h"

#include <cerrno>

namespace pix {

EInOutError InOutErrorFromPlatform(int platformError)
{
    switch (platformError) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return EInOutError(kInvalidFileName);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return EInOutError(kFileAccessDenied);
    case EMFILE:
    case ENFILE:
        return EInOutError(kTooManyOpenFiles);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return EInOutError(kDiskFull);
    default:
        // Named by its own number even where that number is one of the codes
        // above (EIO is 5): "File access denied" would send the user looking
        // for the wrong cause.
        return EInOutError(platformError, "I/O error " + std::to_string(platformError));
    }
}

} // namespace pix
