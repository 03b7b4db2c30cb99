#include "platform/InOutError.h"

namespace pix {

std::string InOutErrorMessage(int errorCode)
{
    switch (errorCode) {
    case kFileNotFound: return "File not found";
    case kInvalidFileName: return "Invalid filename";
    case kTooManyOpenFiles: return "Too many open files";
    case kFileAccessDenied: return "File access denied";
    case kReadBeyondEndOfFile: return "Read beyond end of file";
    case kDiskWriteFailed: return "Disk full";
    case kInvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(errorCode);
    }
}

EInOutError::EInOutError(int errorCode)
    : EInOutError(errorCode, InOutErrorMessage(errorCode))
{
}

EInOutError::EInOutError(int errorCode, const std::string& message)
    : std::runtime_error(message)
    , ErrorCode(errorCode)
{
}

} // namespace pix
