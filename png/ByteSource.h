#pragma once

#include "platform/InputFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pix {

// A seekable source of bytes of known size. Positions past the end are
// allowed; reading there delivers nothing.
class TByteSource {
public:
    virtual ~TByteSource() = default;

    // Up to count bytes; fewer only at the end of the source.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual void Seek(uint64_t position) = 0;
    virtual uint64_t Position() const = 0;
    virtual uint64_t Size() const = 0;

    uint64_t Remaining() const { return Position() < Size() ? Size() - Position() : 0; }
};

// Reads a span that the caller keeps alive.
class TMemorySource final : public TByteSource {
public:
    explicit TMemorySource(std::span<const uint8_t> bytes) : fBytes(bytes) {}

    size_t Read(void* buffer, size_t count) override;
    void Seek(uint64_t position) override { fPosition = position; }
    uint64_t Position() const override { return fPosition; }
    uint64_t Size() const override { return fBytes.size(); }

private:
    std::span<const uint8_t> fBytes;
    uint64_t fPosition = 0;
};

// A file opened read-only, denying writes to others where the platform can.
class TFileSource final : public TByteSource {
public:
    // fileName is UTF-8; raises EFOpenError when the file cannot be opened.
    explicit TFileSource(const std::string& fileName) : fFile(fileName) {}

    size_t Read(void* buffer, size_t count) override;
    void Seek(uint64_t position) override;
    uint64_t Position() const override { return fPosition; }
    uint64_t Size() const override { return fFile.Size(); }

private:
    TInputFile fFile;
    uint64_t fPosition = 0;
};

} // namespace pix
