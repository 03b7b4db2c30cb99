#include "platform/InputFile.h"

#include "platform/SystemError.h"
#include "platform/Utf16.h"

#include <windows.h>

#include <algorithm>

namespace pix {

namespace {

[[noreturn]] void RaiseOpenError(const std::string& fileName, DWORD error)
{
    throw EFOpenError("Cannot open file \"" + fileName + "\". " + SystemErrorText(static_cast<int>(error)));
}

HANDLE HandleOf(intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// ReadFile takes a 32-bit count; larger reads go in pieces of this size.
constexpr size_t kLargestRead = size_t{1} << 30;

} // namespace

TInputFile::TInputFile(const std::string& fileName)
{
    const HANDLE handle = CreateFileW(WideFromUtf8(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        RaiseOpenError(fileName, GetLastError());
    // A folder cannot be opened this way at all; a console or a pipe can,
    // and would wait for input for ever.
    LARGE_INTEGER size{};
    DWORD error = ERROR_SUCCESS;
    if (GetFileType(handle) != FILE_TYPE_DISK)
        error = ERROR_INVALID_PARAMETER;
    else if (!GetFileSizeEx(handle, &size))
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        CloseHandle(handle);
        RaiseOpenError(fileName, error);
    }
    fHandle = reinterpret_cast<intptr_t>(handle);
    fSize = static_cast<uint64_t>(size.QuadPart);
}

TInputFile::~TInputFile()
{
    CloseHandle(HandleOf(fHandle));
}

size_t TInputFile::Read(void* buffer, size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min(count - done, kLargestRead));
        if (!ReadFile(HandleOf(fHandle), bytes + done, wanted, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    return done;
}

bool TInputFile::Seek(uint64_t position)
{
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(position);
    return SetFilePointerEx(HandleOf(fHandle), distance, nullptr, FILE_BEGIN) != 0;
}

} // namespace pix
