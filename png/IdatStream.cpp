#include "png/IdatStream.h"

#include "png/BigEndian.h"
#include "png/ByteSource.h"
#include "png/PngErrors.h"

#include <algorithm>
#include <utility>

#include <zlib.h>

namespace pix {

TIdatStream::TIdatStream(TByteSource& source, const TChunkName& firstType, uint32_t firstSize,
                         std::unique_ptr<TInflater> inflater)
    : fSource(source), fInflater(std::move(inflater)), fInput(new uint8_t[kInputBlock])
{
    BeginChunk(firstType.data(), firstSize);
}

void TIdatStream::BeginChunk(const uint8_t* type, uint32_t size)
{
    if (size > kMaxChunkLength)
        RaiseError<EPngInvalidCRC>(PngText::InvalidCRC);
    fCrc = crc32(0, type, 4);
    fChunkRemaining = size;
}

void TIdatStream::CheckCrc()
{
    uint8_t stored[4];
    if (fSource.Read(stored, 4) != 4 || BigEndian32(stored) != fCrc)
        RaiseError<EPngInvalidCRC>(PngText::InvalidCRC);
}

void TIdatStream::EnterNextChunk()
{
    CheckCrc();
    uint8_t lengthAndType[8];
    // A file ending here has no further IDAT chunk either.
    if (fSource.Read(lengthAndType, 8) != 8 || ChunkTypeText({lengthAndType[4], lengthAndType[5], lengthAndType[6],
                                                              lengthAndType[7]}) != TChunkIDAT::kType)
        RaiseError<EPNGMissingMultipleIDAT>(PngText::MissingMultipleIDAT);
    BeginChunk(lengthAndType + 4, BigEndian32(lengthAndType));
}

bool TIdatStream::Refill()
{
    while (fChunkRemaining == 0)
        EnterNextChunk();
    const size_t got = fSource.Read(fInput.get(), std::min<size_t>(fChunkRemaining, kInputBlock));
    fChunkRemaining -= static_cast<uint32_t>(got);
    fCrc = crc32(fCrc, fInput.get(), static_cast<uInt>(got));
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
            RaiseError<EPNGMissingMultipleIDAT>(PngText::MissingMultipleIDAT);
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
            RaiseError<EPngInvalidCRC>(PngText::InvalidCRC);
        fChunkRemaining -= static_cast<uint32_t>(got);
        fCrc = crc32(fCrc, fInput.get(), static_cast<uInt>(got));
    }
    CheckCrc();
}

} // namespace pix
