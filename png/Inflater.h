#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pix {

// The inflate engine of an IDAT stream: it is handed the stream's bytes as
// the chunks deliver them.
class TInflater {
public:
    virtual ~TInflater() = default;
    // Inflates what it can of in into out, advancing both; true once the
    // stream has ended. Raises when the data is not a sound stream.
    virtual bool Inflate(const uint8_t*& in, size_t& inSize, uint8_t*& out, size_t& outSize) = 0;
    // True when the last call filled its output and more may follow
    // without further input.
    virtual bool Pending() const { return false; }
};

// zlib, the authority on every stream: its failures are EPNGZLIBError with
// zlib's result code in the message.
std::unique_ptr<TInflater> MakeZlibInflater();

// Raised by the fast engine, and by a fast decode, at anything that is not
// plainly a sound stream: the zlib path then decodes the file from the start
// and decides what failed.
struct TInflateDoubt {};

// A faster engine for sound streams, where the build has one (nullptr
// otherwise). It never gives a failure of its own: only TInflateDoubt.
std::unique_ptr<TInflater> MakeFastInflater();

} // namespace pix
