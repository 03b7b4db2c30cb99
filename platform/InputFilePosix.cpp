#include "platform/InputFile.h"

#include "platform/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pix {

namespace {

[[noreturn]] void RaiseOpenError(const std::string& fileName, int error)
{
    throw EFOpenError("Cannot open file \"" + fileName + "\". " + SystemErrorText(error));
}

} // namespace

TInputFile::TInputFile(const std::string& fileName)
{
    // Non-blocking, so that a pipe without a writer cannot hold the open;
    // only plain files are read after that.
    const int descriptor = open(fileName.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        RaiseOpenError(fileName, errno);
    struct stat status {};
    int error = 0;
    if (fstat(descriptor, &status) != 0)
        error = errno;
    else if (S_ISDIR(status.st_mode))
        error = EISDIR;
    else if (!S_ISREG(status.st_mode))
        error = EINVAL;
    if (error != 0) {
        close(descriptor);
        RaiseOpenError(fileName, error);
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    fHandle = descriptor;
    fSize = static_cast<uint64_t>(status.st_size);
}

TInputFile::~TInputFile()
{
    close(static_cast<int>(fHandle));
}

size_t TInputFile::Read(void* buffer, size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(static_cast<int>(fHandle), bytes + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    return done;
}

bool TInputFile::Seek(uint64_t position)
{
    return lseek(static_cast<int>(fHandle), static_cast<off_t>(position), SEEK_SET) >= 0;
}

} // namespace pix
