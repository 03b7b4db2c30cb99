#include "png/Chunks.h"

#include "png/BigEndian.h"
#include "png/ByteSource.h"
#include "png/Gamma.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace pix {

namespace {

// Inflated text beyond limit counts as failed inflation.
bool InflateText(const uint8_t* data, size_t size, size_t limit, std::string& text)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    std::string output;
    char block[16384];
    int result = Z_OK;
    while (result == Z_OK && output.size() <= limit) {
        stream.next_out = reinterpret_cast<Bytef*>(block);
        stream.avail_out = sizeof block;
        result = inflate(&stream, Z_NO_FLUSH);
        output.append(block, sizeof block - stream.avail_out);
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END || output.size() > limit)
        return false;
    text = std::move(output);
    return true;
}

} // namespace

std::string_view ChunkTypeText(const TChunkName& name)
{
    const auto* text = reinterpret_cast<const char*>(name.data());
    return std::string_view(text, static_cast<size_t>(std::find(name.begin(), name.end(), 0) - name.begin()));
}

void CheckChunkLength(uint32_t size)
{
    if (size > kMaxChunkLength)
        RaiseError<EPngInvalidCRC>();
}

bool ReadChunkStart(TByteSource& source, uint32_t& size, TChunkName& type)
{
    uint8_t length[4];
    if (source.Read(length, 4) != 4 || source.Read(type.data(), 4) != 4)
        return false;
    size = BigEndian32(length);
    return true;
}

TChunkCrc::TChunkCrc(const TChunkName& type) : fValue(crc32(0, type.data(), 4)) {}

void TChunkCrc::Add(const uint8_t* data, size_t size)
{
    // Chunk data is below 2^31 bytes (kMaxChunkLength), within zlib's uInt.
    fValue = crc32(fValue, data, static_cast<uInt>(size));
}

void TChunkCrc::Check(TByteSource& source) const
{
    uint8_t stored[4];
    if (source.Read(stored, 4) != 4 || BigEndian32(stored) != fValue)
        RaiseError<EPngInvalidCRC>();
}

void TChunk::LoadFromStream(TByteSource& stream, uint32_t size)
{
    CheckChunkLength(size);
    // Nothing is allocated for data that the file cannot hold.
    if (stream.Remaining() < uint64_t{size} + 4)
        RaiseError<EPngInvalidCRC>();
    fDataSize = size;
    fData.assign(size_t{size} + 1, 0);
    if (stream.Read(fData.data(), size) != size)
        RaiseError<EPngInvalidCRC>();
    TChunkCrc crc(fName);
    crc.Add(fData.data(), size);
    crc.Check(stream);
}

int TChunk::Index() const
{
    return fOwner.fChunkList.IndexOf(this);
}

TChunkIHDR& TChunk::Header() const
{
    return fOwner.Header();
}

void TChunkPLTE::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunk::LoadFromStream(stream, size);
    if (size % 3 != 0 || size / 3 > 256)
        RaiseError<EPNGInvalidPalette>();
    fCount = static_cast<int>(size / 3);
    const TGammaTable& gamma = fOwner.GammaTable;
    std::array<TRGBQuad, 256> colours{};
    for (int i = 0; i < fCount; ++i) {
        const uint8_t* rgb = fData.data() + 3 * i;
        colours[i] = TRGBQuad{gamma[rgb[2]], gamma[rgb[1]], gamma[rgb[0]], 0};
    }
    Header().InstallPalette(std::span(colours.data(), static_cast<size_t>(fCount)));
}

uint32_t TChunkPLTE::GetPaletteItem(int index) const
{
    if (index < 0 || index >= fCount)
        RaiseError<EPngError>();
    const TRGBQuad& entry = Header().BitmapInfo.bmiColors[index];
    return entry.rgbBlue | uint32_t{entry.rgbGreen} << 8 | uint32_t{entry.rgbRed} << 16;
}

void TChunkgAMA::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunk::LoadFromStream(stream, size);
    BuildGammaTables(Gamma(), fOwner.GammaTable, fOwner.InverseGamma);
}

uint32_t TChunkgAMA::Gamma() const
{
    return fDataSize == 4 ? BigEndian32(fData.data()) : 1;
}

void TChunktRNS::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunk::LoadFromStream(stream, size);
    if (size > 256)
        RaiseError<EPNGInvalidPalette>();
    PaletteValues.fill(255);
    std::copy_n(fData.begin(), size, PaletteValues.begin());
    switch (Header().IHDRData.ColorType) {
    case ctGrayscale:
    case ctRGB:
        fBitTransparency = true;
        break;
    case ctPalette:
        fBitTransparency = std::count_if(fData.begin(), fData.begin() + size, [](uint8_t a) { return a != 255; }) == 1;
        break;
    default:
        break;
    }
}

void TChunkpHYs::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunk::LoadFromStream(stream, size);
    if (size != 9)
        return;
    fPPUnitX = BigEndian32(fData.data());
    fPPUnitY = BigEndian32(fData.data() + 4);
    fUnit = static_cast<TUnitType>(fData[8]);
}

void TChunktIME::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunk::LoadFromStream(stream, size);
    if (size != 7)
        return;
    fYear = static_cast<uint16_t>(fData[0] << 8 | fData[1]);
    fMonth = fData[2];
    fDay = fData[3];
    fHour = fData[4];
    fMinute = fData[5];
    fSecond = fData[6];
}

void TChunktEXt::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunk::LoadFromStream(stream, size);
    if (size <= 2)
        return;
    const char* data = reinterpret_cast<const char*>(fData.data());
    const size_t keywordLength = strnlen(data, size);
    fKeyword.assign(data, keywordLength);
    if (keywordLength < size)
        fText.assign(data + keywordLength + 1, size - keywordLength - 1);
}

void TChunkzTXt::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunktEXt::LoadFromStream(stream, size);
    fText.clear();
    // The compression-method byte after the keyword's zero is not examined.
    const size_t compressedStart = fKeyword.size() + 2;
    if (size > 3 && compressedStart < size
        && InflateText(fData.data() + compressedStart, size - compressedStart,
                       kMaxInflatedText - fOwner.fInflatedTextBytes, fText))
        fOwner.fInflatedTextBytes += fText.size();
}

namespace {

template <class C>
std::unique_ptr<TChunk> Make(TPngImage& owner, const TChunkName& name)
{
    return std::make_unique<C>(owner, name);
}

struct TRegisteredChunk {
    std::string_view type;
    std::unique_ptr<TChunk> (*create)(TPngImage&, const TChunkName&);
};

template <class C>
constexpr TRegisteredChunk Register()
{
    return {C::kType, &Make<C>};
}

// The registration order decides which class a type gets.
constexpr TRegisteredChunk kRegistry[] = {
    Register<TChunkIEND>(), Register<TChunkIHDR>(), Register<TChunkIDAT>(), Register<TChunkPLTE>(),
    Register<TChunkgAMA>(), Register<TChunktRNS>(), Register<TChunkpHYs>(), Register<TChunktIME>(),
    Register<TChunktEXt>(), Register<TChunkzTXt>(),
};

} // namespace

std::unique_ptr<TChunk> CreateRegisteredChunk(TPngImage& owner, const TChunkName& name)
{
    const std::string_view type = ChunkTypeText(name);
    for (const TRegisteredChunk& entry : kRegistry)
        if (entry.type == type)
            return entry.create(owner, name);
    return nullptr;
}

} // namespace pix
