#include "platform/OutputFile.h"

#include "platform/InOutError.h"
#include "platform/Utf16.h"

#include <windows.h>

#include <algorithm>
#include <random>

namespace pix {

namespace {

// The longest name the save dialog takes, in UTF-16 units.
constexpr std::size_t kMaxNameLength = 259;
// Enough tries at a free temporary name that only a folder that refuses
// new files fails.
constexpr int kTemporaryNameTries = 100;
// WriteFile takes a 32-bit count; larger blocks go in pieces of this size.
constexpr std::size_t kLargestWrite = std::size_t{1} << 30;

[[noreturn]] void FailWith(DWORD error)
{
    throw InOutErrorFromPlatform(static_cast<int>(error));
}

HANDLE HandleOf(intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// The target's folder in the form that lifts the 260-character limit: the
// temporary name is longer than the target's, which may already be close
// to that limit.
std::wstring LongFolderOf(const std::wstring& target)
{
    const DWORD length = GetFullPathNameW(target.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        FailWith(GetLastError());
    std::wstring full(length, L'\0');
    wchar_t* filePart = nullptr;
    const DWORD written = GetFullPathNameW(target.c_str(), length, full.data(), &filePart);
    if (written == 0 || written >= length || filePart == nullptr)
        FailWith(ERROR_INVALID_NAME);
    full.resize(static_cast<std::size_t>(filePart - full.data()));
    if (full.starts_with(LR"(\\?\)"))
        return full;
    if (full.starts_with(LR"(\\)"))
        return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

HANDLE CreateNewTemporary(const std::wstring& folder, std::wstring& name)
{
    static std::mt19937 random{std::random_device{}()};
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = folder + L".pixcsv-";
        for (int i = 0; i < 8; ++i)
            name += kLetters[random() % (std::size(kLetters) - 1)];
        // Others may read the new table while it is written, not change it.
        const HANDLE handle =
            CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return handle;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            FailWith(error);
    }
    FailWith(ERROR_FILE_EXISTS);
}

void WriteAll(HANDLE handle, const char* data, std::size_t size)
{
    while (size > 0) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min(size, kLargestWrite));
        if (!WriteFile(handle, data, piece, &written, nullptr))
            FailWith(GetLastError());
        data += written;
        size -= written;
    }
}

} // namespace

TReplacementFile::TReplacementFile(const std::string& fileName)
    : fTarget(fileName)
{
    const std::wstring target = WideFromUtf8(fileName);
    if (target.empty() || target.size() > kMaxNameLength)
        throw EInOutError(kInvalidFileName);

    // Opening the target for writing, without emptying it, asks the system
    // every question at once: may this user change it (5), does another
    // program hold it without sharing (32), is it a device. The handle is
    // kept only for a device; a file is replaced by renaming.
    const HANDLE existing =
        CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            FailWith(error);
    } else {
        const DWORD type = GetFileType(existing);
        if (type == FILE_TYPE_CHAR) {
            fHandle = reinterpret_cast<intptr_t>(existing);
            return;
        }
        BY_HANDLE_FILE_INFORMATION information{};
        const bool readOnly = type == FILE_TYPE_DISK && GetFileInformationByHandle(existing, &information)
            && (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        CloseHandle(existing);
        if (type != FILE_TYPE_DISK)
            throw EInOutError(kNotAFileOrDevice);
        // An administrator may open a read-only file for writing; the
        // attribute still says the file is not to be changed.
        if (readOnly)
            throw EInOutError(kFileAccessDenied);
    }

    std::wstring temporary;
    fHandle = reinterpret_cast<intptr_t>(CreateNewTemporary(LongFolderOf(target), temporary));
    fTemporary = Utf8FromWide(temporary);
}

TReplacementFile::~TReplacementFile()
{
    Close();
    if (!fTemporary.empty())
        DeleteFileW(WideFromUtf8(fTemporary).c_str());
}

void TReplacementFile::Write(const char* data, std::size_t size)
{
    WriteAll(HandleOf(fHandle), data, size);
}

void TReplacementFile::Commit()
{
    if (fHandedOver && !fTemporary.empty()) {
        // The library has closed its own handle; this one only flushes.
        fHandle = reinterpret_cast<intptr_t>(CreateFileW(WideFromUtf8(fTemporary).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (HandleOf(fHandle) == INVALID_HANDLE_VALUE) {
            fHandle = -1;
            FailWith(GetLastError());
        }
    } else if (fHandedOver) {
        return;
    }
    if (!fTemporary.empty() && !FlushFileBuffers(HandleOf(fHandle)))
        FailWith(GetLastError());
    const HANDLE handle = HandleOf(fHandle);
    fHandle = -1;
    if (!CloseHandle(handle))
        FailWith(GetLastError());
    if (fTemporary.empty())
        return;
    // A rename, not ReplaceFileW: that one can fail half-way and leave the
    // target removed.
    if (!MoveFileExW(WideFromUtf8(fTemporary).c_str(), WideFromUtf8(fTarget).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        FailWith(GetLastError());
    fTemporary.clear();
}

std::string TReplacementFile::NameForLibrary()
{
    // The library opens the file with sharing that this handle would
    // refuse; Commit opens it again to flush it.
    Close();
    fHandedOver = true;
    return fTemporary.empty() ? fTarget : fTemporary;
}

std::string TReplacementFile::ScratchFolder() const
{
    // Libraries name their scratch files in the ANSI code page, which cannot
    // spell every folder the target may be in.
    return {};
}

std::optional<uint64_t> TReplacementFile::ScratchSpace() const
{
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    ULARGE_INTEGER available{};
    if (length == 0 || length > MAX_PATH || !GetDiskFreeSpaceExW(folder, &available, nullptr, nullptr))
        return std::nullopt;
    return available.QuadPart;
}

void TReplacementFile::Close()
{
    if (fHandle != -1) {
        CloseHandle(HandleOf(fHandle));
        fHandle = -1;
    }
}

void TStandardOutput::Write(const char* data, std::size_t size)
{
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), data, size);
}

} // namespace pix
