#include "png/IdatStream.h"

#include "png/BigEndian.h"
#include "png/ByteSource.h"
#include "png/PngErrors.h"

#include <algorithm>

namespace pix {

TIdatStream::TIdatStream(TByteSource& source, const TChunkName& firstType, uint32_t firstSize)
    : fSource(source), fInput(new uint8_t[kInputBlock])
{
    BeginChunk(firstType.data(), firstSize);
    const int result = inflateInit(&fZStream);
    if (result != Z_OK)
        RaiseError<EPNGZLIBError>(ZLibErrorText(result));
}

TIdatStream::~TIdatStream()
{
    inflateEnd(&fZStream);
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

size_t TIdatStream::Read(uint8_t* buffer, size_t count)
{
    fZStream.next_out = buffer;
    fZStream.avail_out = static_cast<uInt>(count);
    while (fZStream.avail_out > 0) {
        if (fZStream.avail_in == 0) {
            while (fChunkRemaining == 0)
                EnterNextChunk();
            const size_t got = fSource.Read(fInput.get(), std::min<size_t>(fChunkRemaining, kInputBlock));
            if (got == 0)
                return count - fZStream.avail_out;
            fChunkRemaining -= static_cast<uint32_t>(got);
            fCrc = crc32(fCrc, fInput.get(), static_cast<uInt>(got));
            fZStream.next_in = fInput.get();
            fZStream.avail_in = static_cast<uInt>(got);
        }
        const int result = inflate(&fZStream, Z_NO_FLUSH);
        if (result < 0 || result == Z_NEED_DICT)
            RaiseError<EPNGZLIBError>(ZLibErrorText(result));
        if (result == Z_STREAM_END && fZStream.avail_out > 0)
            RaiseError<EPNGMissingMultipleIDAT>(PngText::MissingMultipleIDAT);
    }
    return count;
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
