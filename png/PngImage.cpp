#include "png/PngImage.h"

#include "png/ByteSource.h"
#include "png/Gamma.h"
#include "png/PngErrors.h"

#include <algorithm>
#include <cstring>

namespace pix {

namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// Upper-case first letter; a type starting with a zero byte is no type at all.
bool IsCritical(const TChunkName& name)
{
    return name[0] != 0 && (name[0] & 32) == 0;
}

TChunkIHDR& ExistingHeader(TChunkIHDR* header)
{
    if (!header)
        RaiseError<EPNGHeaderNotPresent>();
    return *header;
}

} // namespace

TChunk* TPNGList::GetItem(int index) const
{
    return index >= 0 && index < Count() ? fItems[static_cast<size_t>(index)].get() : nullptr;
}

TChunk* TPNGList::Add(std::unique_ptr<TChunk> chunk)
{
    fItems.push_back(std::move(chunk));
    return fItems.back().get();
}

void TPNGList::RemoveChunk(TChunk* chunk)
{
    std::erase_if(fItems, [chunk](const std::unique_ptr<TChunk>& item) { return item.get() == chunk; });
}

int TPNGList::IndexOf(const TChunk* chunk) const
{
    for (size_t i = 0; i < fItems.size(); ++i)
        if (fItems[i].get() == chunk)
            return static_cast<int>(i);
    return -1;
}

TPngImage::TPngImage()
{
    SetIdentity(GammaTable);
    SetIdentity(InverseGamma);
}

void TPngImage::LoadFromFile(const std::string& fileName)
{
    TFileSource file(fileName);
    LoadFromStream(file);
}

// Signature, then chunk after chunk until IEND: each loaded chunk is checked
// against its CRC and kept in the list; the first IDAT chunk decodes the
// whole image; cHRM and later IDAT chunks are passed over unread.
void TPngImage::LoadFromStream(TByteSource& stream)
{
    fChunkList.Clear();
    SetIdentity(GammaTable);
    SetIdentity(InverseGamma);
    fInflatedTextBytes = 0;

    uint8_t signature[8];
    if (stream.Read(signature, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0)
        RaiseError<EPNGInvalidFileHeader>();

    bool idatMet = false;
    for (bool first = true;; first = false) {
        uint32_t size = 0;
        TChunkName name;
        // A file that ends inside a length or type field ends like one that
        // ends before it.
        if (!ReadChunkStart(stream, size, name))
            RaiseError<EPngUnexpectedEnd>();
        const std::string_view type = ChunkTypeText(name);
        if (first && type != TChunkIHDR::kType)
            RaiseError<EPNGIHDRNotFirst>();

        if (type == "cHRM" || (type == TChunkIDAT::kType && idatMet)) {
            CheckChunkLength(size);
            stream.Seek(stream.Position() + size + 4);
        } else {
            idatMet = idatMet || type == TChunkIDAT::kType;
            std::unique_ptr<TChunk> created = CreateRegisteredChunk(*this, name);
            const bool registered = created != nullptr;
            if (!registered)
                created = std::make_unique<TChunk>(*this, name);
            TChunk* chunk = fChunkList.Add(std::move(created));
            if (!registered && IsCritical(name))
                RaiseError<EPNGUnknownCriticalChunk>();
            chunk->LoadFromStream(stream, size);
        }
        if (type == TChunkIEND::kType)
            break;
    }
    if (!idatMet)
        RaiseError<EPNGNoImageData>();
}

TChunkIHDR* TPngImage::FindHeader() const
{
    return dynamic_cast<TChunkIHDR*>(fChunkList.GetItem(0));
}

TChunkIHDR& TPngImage::Header()
{
    return ExistingHeader(FindHeader());
}

const TChunkIHDR& TPngImage::Header() const
{
    return ExistingHeader(FindHeader());
}

uint32_t TPngImage::Width() const
{
    const TChunkIHDR* header = FindHeader();
    return header ? header->IHDRData.Width : 0;
}

uint32_t TPngImage::Height() const
{
    const TChunkIHDR* header = FindHeader();
    return header ? header->IHDRData.Height : 0;
}

TPNGTransparencyMode TPngImage::TransparencyMode() const
{
    const TChunkIHDR& header = Header();
    const TChunktRNS* trns = Transparency();
    switch (header.IHDRData.ColorType) {
    case ctGrayscale:
    case ctRGB:
        return trns ? ptmBit : ptmNone;
    case ctPalette:
        if (!trns)
            return ptmNone;
        return trns->fBitTransparency ? ptmBit : ptmPartial;
    case ctGrayscaleAlpha:
    case ctRGBAlpha:
        return ptmPartial;
    default:
        return ptmNone;
    }
}

int32_t TPngImage::TransparentColor() const
{
    const TChunktRNS* trns = Transparency();
    if (!trns)
        return 0;
    const TChunkIHDR& header = Header();
    const std::array<uint8_t, 256>& values = trns->PaletteValues;
    switch (header.IHDRData.ColorType) {
    case ctGrayscale:
        return header.BitmapInfo.bmiColors[values[1]].rgbRed * 65793;
    case ctRGB:
        return GammaTable[values[1]] + 256 * GammaTable[values[3]] + 65536 * GammaTable[values[5]];
    case ctPalette: {
        const auto* zero = std::find(values.begin(), values.begin() + trns->DataSize(), 0);
        if (zero == values.begin() + trns->DataSize())
            return 0;
        // Without a PLTE chunk there is no entry to name: no palette entry
        // counts as existing, as for the pixels themselves.
        const TChunkPLTE* palette = Palette();
        if (!palette)
            RaiseError<EPngError>();
        const uint32_t bgr = palette->GetPaletteItem(static_cast<int>(zero - values.begin()));
        return static_cast<int32_t>((bgr >> 16 & 0xFF) | (bgr & 0xFF00) | (bgr & 0xFF) << 16);
    }
    default:
        return 0;
    }
}

const uint8_t* TPngImage::Scanline(uint32_t y) const
{
    const TChunkIHDR& header = Header();
    return header.ImageData() + size_t{header.IHDRData.Height - 1 - y} * header.BytesPerRow;
}

const uint8_t* TPngImage::AlphaScanline(uint32_t y) const
{
    const TChunkIHDR& header = Header();
    const uint8_t colorType = header.IHDRData.ColorType;
    if (colorType != ctGrayscaleAlpha && colorType != ctRGBAlpha)
        return nullptr;
    return header.ImageAlpha() + size_t{y} * header.IHDRData.Width;
}

const uint8_t* TPngImage::ExtraScanline(uint32_t y) const
{
    const TChunkIHDR& header = Header();
    if (!header.ExtraImageData())
        return nullptr;
    return header.ExtraImageData() + size_t{header.IHDRData.Height - 1 - y} * header.BytesPerRow;
}

} // namespace pix
