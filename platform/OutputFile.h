#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pix {

// Where exported text goes, in large blocks. Failures are EInOutError.
class TByteSink {
public:
    virtual ~TByteSink() = default;
    virtual void Write(const char* data, std::size_t size) = 0;
};

// Replaces a file only once all of its new content is safely written: the
// text goes to a temporary file beside the target, which is flushed to disk
// and renamed over the target by Commit. Until then, and after any failure,
// the target keeps its previous content; an object destroyed without Commit
// removes its temporary file. A replaced file keeps its permission bits.
// A character device (/dev/null, NUL) is written directly.
class TReplacementFile : public TByteSink {
public:
    // Fails before anything is touched when the name is too long, names a
    // folder, a pipe or a socket, or a file that may not be written.
    explicit TReplacementFile(const std::string& fileName);
    ~TReplacementFile() override;
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    void Write(const char* data, std::size_t size) override;
    void Commit();

    // For a library that writes the file itself, by name, instead of
    // through Write: the name it is to write, the temporary file or a device
    // itself. Commit still puts the file in its place, and an object
    // destroyed without Commit still removes it.
    std::string NameForLibrary();
    // Where such a library may keep its scratch files, which it removes
    // itself: beside the target where the library can name that folder,
    // otherwise empty for the system's temporary folder. And how many bytes
    // are free there, when the system says.
    std::string ScratchFolder() const;
    std::optional<uint64_t> ScratchSpace() const;

private:
    void Close();

    std::string fTarget;
    std::string fTemporary; // empty when writing the target directly
    intptr_t fHandle = -1;  // a descriptor or a system handle
    bool fHandedOver = false; // written by a library, by name
};

// The process's standard output.
class TStandardOutput : public TByteSink {
public:
    void Write(const char* data, std::size_t size) override;
};

} // namespace pix
