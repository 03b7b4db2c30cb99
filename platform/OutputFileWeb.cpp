#include "platform/OutputFile.h"

#include "platform/InOutError.h"
#include "platform/InputFile.h"

#include <cstdio>
#include <new>
#include <vector>

// The page's side of a download (app/web/Bridge.js): the bytes go into a
// file of the browser's storage private to the page, or, where the page
// has none, collect in the worker's memory outside the heap, until they
// are delivered or dropped. Appending and delivering tell how they went.
extern "C" {
int pixelizer_download_open();
int pixelizer_download_append(int download, const char* data, std::size_t size);
int pixelizer_download_deliver(int download, const char* name);
void pixelizer_download_drop(int download);
}

namespace pix {

namespace {

enum : int { kDownloadWritten = 0, kDownloadStorageFull = 1, kDownloadMemoryFull = 2 };

void Check(int outcome)
{
    if (outcome == kDownloadStorageFull)
        throw EInOutError(kDiskWriteFailed);
    if (outcome == kDownloadMemoryFull)
        throw std::bad_alloc();
}

// A library that writes by name gets a file of the runtime's in-memory
// file system, read back into the download when it is committed.
constexpr const char* kLibraryFilePrefix = "/tmp/.pixelizer-";
constexpr std::size_t kReadBackBytes = std::size_t{1} << 20;

std::string DownloadName(const std::string& fileName)
{
    return fileName.substr(fileName.rfind('/') + 1);
}

} // namespace

// In the browser a table leaves the program as a download: nothing reaches
// the user's disk before Commit hands the whole of it to the page, and a
// table never committed is dropped. There is no earlier file to replace.
TReplacementFile::TReplacementFile(const std::string& fileName)
    : fTarget(fileName)
{
    if (DownloadName(fileName).empty())
        throw EInOutError(kInvalidFileName);
    fHandle = pixelizer_download_open();
}

TReplacementFile::~TReplacementFile()
{
    Close();
    if (!fTemporary.empty())
        std::remove(fTemporary.c_str());
}

void TReplacementFile::Write(const char* data, std::size_t size)
{
    Check(pixelizer_download_append(static_cast<int>(fHandle), data, size));
}

void TReplacementFile::Commit()
{
    if (fHandedOver) {
        TInputFile written(fTemporary);
        std::vector<char> block(kReadBackBytes);
        while (const std::size_t got = written.Read(block.data(), block.size()))
            Write(block.data(), got);
    }
    Check(pixelizer_download_deliver(static_cast<int>(fHandle), DownloadName(fTarget).c_str()));
    fHandle = -1;
}

std::string TReplacementFile::NameForLibrary()
{
    fHandedOver = true;
    fTemporary = kLibraryFilePrefix + std::to_string(fHandle);
    return fTemporary;
}

std::string TReplacementFile::ScratchFolder() const
{
    return {};
}

std::optional<uint64_t> TReplacementFile::ScratchSpace() const
{
    // The in-memory file system takes what the browser gives; it has no
    // figure to tell beforehand.
    return std::nullopt;
}

void TReplacementFile::Close()
{
    if (fHandle >= 0) {
        pixelizer_download_drop(static_cast<int>(fHandle));
        fHandle = -1;
    }
}

void TStandardOutput::Write(const char* data, std::size_t size)
{
    if (std::fwrite(data, 1, size, stdout) != size)
        throw EInOutError(kDiskWriteFailed);
}

} // namespace pix
