#pragma once

#include <stdexcept>
#include <string>

namespace pix {

// Codes of file output failures; the message of a code is chosen by
// InOutErrorMessage, so the same code always reads the same. The first
// group has messages of their own; the platform's own codes (Windows' for
// a held file and a full disk) read "I/O error <code>".
enum : int {
    kFileNotFound = 2,
    kInvalidFileName = 3,
    kTooManyOpenFiles = 4,
    kFileAccessDenied = 5,
    kReadBeyondEndOfFile = 100,
    kDiskWriteFailed = 101,
    kInvalidNumericInput = 106,

    kSharingViolation = 32,
    kNotAFileOrDevice = 105,
    kDiskFull = 112,
};

// "File access denied", "Invalid filename", ... or "I/O error <code>".
std::string InOutErrorMessage(int errorCode);

// A failure of file output, carrying the code of the failed operation.
class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int errorCode);
    EInOutError(int errorCode, const std::string& message);

    int ErrorCode;
};

// The failure for an error number of the platform's file calls: the codes
// above where one fits, otherwise the platform's own number.
EInOutError InOutErrorFromPlatform(int platformError);

} // namespace pix
