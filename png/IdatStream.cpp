#include "png/IdatStream.h"

#include "png/ByteSource.h"
#include "png/PngErrors.h"

#include <algorithm>
#include <utility>

namespace pix {

TIdatStream::TIdatStream(TByteSource& source, const TChunkName& firstType, uint32_t firstSize,
                         std::unique_ptr<TInflater> inflater)
    : fSource(source), fInflater(std::move(inflater)), fInput(new uint8_t[kInputBlock]), fCrc(firstType)
{
    BeginChunk(firstType, firstSize);
}

void TIdatStream::BeginChunk(const TChunkName& type, uint32_t size)
{
    CheckChunkLength(size);
    fCrc = TChunkCrc(type);
    fChunkRemaining = size;
}

void TIdatStream::EnterNextChunk()
{
    fCrc.Check(fSource);
    uint32_t size = 0;
    TChunkName type;
    // A file ending here has no further IDAT chunk either.
    if (!ReadChunkStart(fSource, size, type) || ChunkTypeText(type) != TChunkIDAT::kType)
        RaiseError<EPNGMissingMultipleIDAT>();
    BeginChunk(type, size);
}

bool TIdatStream::Refill()
{
    while (fChunkRemaining == 0)
        EnterNextChunk();
    const size_t got = fSource.Read(fInput.get(), std::min<size_t>(fChunkRemaining, kInputBlock));
    fChunkRemaining -= static_cast<uint32_t>(got);
    fCrc.Add(fInput.get(), got);
    fNext = fInput.get();
    fAvailable = got;
    return got > 0;
}

size_t TIdatStream::Read(uint8_t* buffer, size_t count)
{
    uint8_t* out = buffer;
    size_t space = count;
    while (space > 0) {
        if (fAvailable == 0 && !fInflater->Pending() && !Refill())
            return count - space;
        fEnded = fInflater->Inflate(fNext, fAvailable, out, space);
        if (fEnded && space > 0)
            RaiseError<EPNGMissingMultipleIDAT>();
    }
    return count;
}

void TIdatStream::ReadToStreamEnd()
{
    uint8_t beyond[16];
    while (!fEnded) {
        if (fAvailable == 0 && !fInflater->Pending() && !Refill())
            throw TInflateDoubt();
        uint8_t* out = beyond;
        size_t space = sizeof beyond;
        fEnded = fInflater->Inflate(fNext, fAvailable, out, space);
        if (space != sizeof beyond)
            throw TInflateDoubt(); // the stream is longer than the image
    }
}

void TIdatStream::FinishChunk()
{
    while (fChunkRemaining > 0) {
        const size_t got = fSource.Read(fInput.get(), std::min<size_t>(fChunkRemaining, kInputBlock));
        if (got == 0)
            RaiseError<EPngInvalidCRC>();
        fChunkRemaining -= static_cast<uint32_t>(got);
        fCrc.Add(fInput.get(), got);
    }
    fCrc.Check(fSource);
}

} // namespace pix
