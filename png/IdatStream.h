#pragma once

#include "png/Chunks.h"
#include "png/Inflater.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pix {

class TByteSource;

// The zlib stream of a run of IDAT chunks, inflated on request. Input is read
// in blocks of at most 65535 bytes and never past the current chunk's data;
// each chunk's CRC runs over what is read and is checked when its data is
// used up, and the next chunk must then be an IDAT chunk (zero-length ones
// are passed over).
class TIdatStream {
public:
    // The source stands at the data of the first IDAT chunk.
    TIdatStream(TByteSource& source, const TChunkName& firstType, uint32_t firstSize,
                std::unique_ptr<TInflater> inflater);
    TIdatStream(const TIdatStream&) = delete;
    TIdatStream& operator=(const TIdatStream&) = delete;

    // Inflates count bytes into buffer; fewer only when the file has ended.
    size_t Read(uint8_t* buffer, size_t count);

    // For a fast decode: the rest of the stream, across further IDAT chunks,
    // must end without a byte more and with its check value right; raises
    // TInflateDoubt where it does not.
    void ReadToStreamEnd();

    // Reads what is left of the current chunk's data without inflating it
    // and checks the chunk's CRC; the source then stands after that CRC.
    void FinishChunk();

private:
    void BeginChunk(const TChunkName& type, uint32_t size);
    void EnterNextChunk();
    // Reads the next block of the stream; false when the file has ended.
    bool Refill();

    static constexpr size_t kInputBlock = 65535;

    TByteSource& fSource;
    std::unique_ptr<TInflater> fInflater;
    std::unique_ptr<uint8_t[]> fInput;
    const uint8_t* fNext = nullptr; // input not yet inflated
    size_t fAvailable = 0;
    TChunkCrc fCrc; // of the current chunk
    uint32_t fChunkRemaining = 0; // data bytes of the current chunk not yet read
    bool fEnded = false;          // the inflater has seen the stream's end
};

} // namespace pix
