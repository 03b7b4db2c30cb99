#include "png/ByteSource.h"

#include "png/SystemError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#if defined(_WIN32)
#include <share.h>
#endif

namespace pix {

size_t TMemorySource::Read(void* buffer, size_t count)
{
    if (fPosition >= fBytes.size())
        return 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, fBytes.size() - fPosition));
    std::memcpy(buffer, fBytes.data() + fPosition, n);
    fPosition += n;
    return n;
}

namespace {

[[noreturn]] void RaiseOpenError(const std::string& fileName, int errorCode)
{
    throw EFOpenError("Cannot open file \"" + fileName + "\". " + SystemErrorText(errorCode));
}

// The file system's part of opening: read-only, others may read but not write.
std::FILE* OpenReadOnly(const std::filesystem::path& path)
{
#if defined(_WIN32)
    return _wfsopen(path.c_str(), L"rb", _SH_DENYWR);
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

bool SeekTo(std::FILE* file, uint64_t position)
{
#if defined(_WIN32)
    return _fseeki64(file, static_cast<__int64>(position), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

std::optional<uint64_t> FileSize(std::FILE* file)
{
#if defined(_WIN32)
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return std::nullopt;
    const __int64 size = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return std::nullopt;
    const off_t size = ftello(file);
#endif
    if (size < 0 || !SeekTo(file, 0))
        return std::nullopt;
    return static_cast<uint64_t>(size);
}

} // namespace

TFileSource::TFileSource(const std::string& fileName)
{
    const std::filesystem::path path(std::u8string(fileName.begin(), fileName.end()));
    // Opening a pipe would wait for a writer, and a folder opens on some
    // systems only to fail at the first read: only plain files are read.
    std::error_code statusError;
    const std::filesystem::file_status status = std::filesystem::status(path, statusError);
    if (std::filesystem::is_directory(status))
        RaiseOpenError(fileName, EISDIR);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        RaiseOpenError(fileName, EINVAL);

    errno = 0;
    fFile = OpenReadOnly(path);
    if (!fFile)
        RaiseOpenError(fileName, errno != 0 ? errno : ENOENT);
    const std::optional<uint64_t> size = FileSize(fFile);
    if (!size) {
        const int error = errno != 0 ? errno : EIO;
        std::fclose(fFile);
        RaiseOpenError(fileName, error);
    }
    fSize = *size;
}

TFileSource::~TFileSource()
{
    std::fclose(fFile);
}

size_t TFileSource::Read(void* buffer, size_t count)
{
    if (fPosition >= fSize)
        return 0;
    const size_t n = std::fread(buffer, 1, count, fFile);
    fPosition += n;
    return n;
}

void TFileSource::Seek(uint64_t position)
{
    // Beyond the end nothing can be read, so the file need not move there.
    if (SeekTo(fFile, std::min(position, fSize)))
        fPosition = position;
}

} // namespace pix
