#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace pix {

// A file that cannot be opened for reading: "Cannot open file "<name>". <reason>".
class EFOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A plain file opened for reading; others may read it meanwhile but not
// write it, where the platform can forbid that.
class TInputFile {
public:
    // fileName is UTF-8. Folders, pipes and devices are refused without
    // being read: a pipe or a console would wait for input for ever.
    explicit TInputFile(const std::string& fileName);
    ~TInputFile();
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;

    // Up to count bytes from the current position; fewer only at the end
    // of the file (a read error ends the file early, which the reader then
    // reports as a cut-off file).
    size_t Read(void* buffer, size_t count);
    // Moves to a position inside the file; false when that fails.
    bool Seek(uint64_t position);
    uint64_t Size() const { return fSize; }

private:
    intptr_t fHandle = -1; // a descriptor or a system handle
    uint64_t fSize = 0;
};

} // namespace pix
