#include "platform/OutputFile.h"

#include "platform/InOutError.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace pix {

namespace {

// The longest name the save dialog's platform takes, counted in UTF-16
// units as there.
constexpr std::size_t kMaxNameLength = 259;
// Enough tries at a free temporary name that only a folder that refuses
// new files fails.
constexpr int kTemporaryNameTries = 100;

[[noreturn]] void FailWith(int error)
{
    throw InOutErrorFromPlatform(error);
}

std::size_t Utf16Length(const std::string& name)
{
    std::size_t length = 0;
    for (const unsigned char byte : name) {
        if ((byte & 0xC0) != 0x80)
            ++length;
        if (byte >= 0xF0)
            ++length; // needs a surrogate pair
    }
    return length;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a symbolic link leads to, so that the link itself survives.
std::string ResolvedPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

int OpenNewTemporary(const std::string& folder, std::string& name)
{
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = folder + "/.pixcsv-";
        for (int i = 0; i < 8; ++i)
            name += kLetters[random() % (sizeof kLetters - 1)];
        // 0666 lets the umask decide, as for any newly created file.
        const int descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0)
            return descriptor;
        if (errno != EEXIST)
            FailWith(errno);
    }
    FailWith(EEXIST);
}

void WriteAll(int descriptor, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            FailWith(errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

} // namespace

TReplacementFile::TReplacementFile(const std::string& fileName)
    : fTarget(fileName)
{
    if (fileName.empty() || Utf16Length(fileName) > kMaxNameLength)
        throw EInOutError(kInvalidFileName);

    struct stat existing {};
    if (stat(fileName.c_str(), &existing) != 0) {
        if (errno != ENOENT)
            FailWith(errno);
        // A missing folder is reported by the creation of the temporary file.
        fHandle = OpenNewTemporary(FolderOf(fileName), fTemporary);
        return;
    }
    if (S_ISCHR(existing.st_mode)) {
        // Non-blocking open only, so that a device waiting for a line cannot
        // hang the export; writes then block as usual.
        const int device = open(fileName.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (device < 0)
            FailWith(errno);
        fcntl(device, F_SETFL, fcntl(device, F_GETFL) & ~O_NONBLOCK);
        fHandle = device;
        return;
    }
    if (S_ISDIR(existing.st_mode))
        FailWith(EISDIR);
    if (!S_ISREG(existing.st_mode))
        throw EInOutError(kNotAFileOrDevice); // never opened: a pipe would block
    // A file without any write permission is read-only, for every user: a
    // plain rename would replace it even where opening it could not.
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw EInOutError(kFileAccessDenied);

    fTarget = ResolvedPath(fileName);
    // Opening for writing (without emptying) asks the system whether this
    // user may change the file at all; non-blocking in case it has just
    // been swapped for a pipe.
    const int probe = open(fTarget.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (probe < 0)
        FailWith(errno);
    close(probe);

    fHandle = OpenNewTemporary(FolderOf(fTarget), fTemporary);
    fchmod(static_cast<int>(fHandle), existing.st_mode & 07777);
    // Keeps the owner where the system lets us; otherwise the new file is ours.
    if (fchown(static_cast<int>(fHandle), existing.st_uid, existing.st_gid) != 0)
        errno = 0;
}

TReplacementFile::~TReplacementFile()
{
    Close();
    if (!fTemporary.empty())
        unlink(fTemporary.c_str());
}

void TReplacementFile::Write(const char* data, std::size_t size)
{
    WriteAll(static_cast<int>(fHandle), data, size);
}

void TReplacementFile::Commit()
{
    if (!fTemporary.empty() && fsync(static_cast<int>(fHandle)) != 0)
        FailWith(errno);
    const int descriptor = static_cast<int>(fHandle);
    fHandle = -1;
    if (close(descriptor) != 0 && errno != EINTR)
        FailWith(errno);
    if (fTemporary.empty())
        return;
    if (rename(fTemporary.c_str(), fTarget.c_str()) != 0)
        FailWith(errno);
    fTemporary.clear();
    // The rename itself reaches the disk with the folder.
    const int folder = open(FolderOf(fTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

std::string TReplacementFile::NameForLibrary()
{
    // The library opens the same file again; this descriptor stays open, so
    // that Commit can flush what the library wrote through its own.
    fHandedOver = true;
    return fTemporary.empty() ? fTarget : fTemporary;
}

std::string TReplacementFile::ScratchFolder() const
{
    return fTemporary.empty() ? std::string() : FolderOf(fTemporary);
}

std::optional<uint64_t> TReplacementFile::ScratchSpace() const
{
    std::string folder = ScratchFolder();
    if (folder.empty()) {
        const char* systemFolder = std::getenv("TMPDIR");
        folder = systemFolder && *systemFolder ? systemFolder : "/tmp";
    }
    struct statvfs disk {};
    if (statvfs(folder.c_str(), &disk) != 0)
        return std::nullopt;
    return uint64_t{disk.f_bavail} * disk.f_frsize;
}

void TReplacementFile::Close()
{
    if (fHandle >= 0) {
        close(static_cast<int>(fHandle));
        fHandle = -1;
    }
}

void TStandardOutput::Write(const char* data, std::size_t size)
{
    WriteAll(STDOUT_FILENO, data, size);
}

} // namespace pix
