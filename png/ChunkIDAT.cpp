#include "png/ByteSource.h"
#include "png/Chunks.h"
#include "png/IdatStream.h"
#include "png/Inflater.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"
#include "png/RowConverters.h"
#include "png/Unfilter.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace pix {

namespace {

// Bytes of one filtered row of pixels pixels, without its filter-type byte.
uint32_t RowBytesFor(uint8_t colorType, uint8_t bitDepth, uint32_t pixels)
{
    const uint64_t bits = uint64_t{pixels} * bitDepth;
    switch (colorType) {
    case ctRGB: return static_cast<uint32_t>(bits * 3 / 8);
    case ctGrayscaleAlpha: return static_cast<uint32_t>(bits * 2 / 8);
    case ctRGBAlpha: return static_cast<uint32_t>(bits * 4 / 8);
    default: return static_cast<uint32_t>((bits + 7) / 8);
    }
}

// Bytes per complete pixel, at least 1: how far back the filters look.
unsigned FilterOffsetFor(uint8_t colorType, uint8_t bitDepth)
{
    switch (colorType) {
    case ctGrayscale: return bitDepth == 16 ? 2 : 1;
    case ctRGB: return bitDepth * 3u / 8;
    case ctGrayscaleAlpha: return bitDepth * 2u / 8;
    case ctRGBAlpha: return bitDepth * 4u / 8;
    default: return 1;
    }
}

struct TAdam7Pass {
    uint32_t firstRow, firstColumn, rowStep, columnStep;
};

constexpr TAdam7Pass kAdam7Passes[7] = {
    {0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4}, {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1},
};

// The state of one decode: the IDAT stream, the two row buffers (filter-type
// byte, then the row) and where rows go in the header's buffer.
class TImageDataDecoder {
public:
    TImageDataDecoder(TChunkIHDR& header, TIdatStream& stream, TRowConverter convert, const TGammaTable& gamma)
        : fHeader(header), fStream(stream), fConvert(convert), fGamma(gamma),
          fColorType(header.IHDRData.ColorType), fBitDepth(header.IHDRData.BitDepth),
          fWidth(header.IHDRData.Width), fHeight(header.IHDRData.Height),
          fOffset(FilterOffsetFor(fColorType, fBitDepth))
    {
        const size_t bufferBytes = size_t{RowBytesFor(fColorType, fBitDepth, fWidth)} + 1;
        fCurrent.assign(bufferBytes, 0);
        fPrevious.assign(bufferBytes, 0);
    }

    void DecodePlain()
    {
        const uint32_t rowBytes = RowBytesFor(fColorType, fBitDepth, fWidth);
        for (uint32_t y = 0; y < fHeight; ++y) {
            if (!DecodeRow(rowBytes, fWidth, Target(y, 0, 1)))
                return; // the file has ended; the CRC check will say so
        }
    }

    void DecodeAdam7()
    {
        for (const TAdam7Pass& pass : kAdam7Passes) {
            if (pass.firstColumn >= fWidth)
                continue;
            const uint32_t columns = (fWidth - pass.firstColumn + pass.columnStep - 1) / pass.columnStep;
            const uint32_t rowBytes = RowBytesFor(fColorType, fBitDepth, columns);
            std::fill_n(fPrevious.begin(), size_t{rowBytes} + 1, 0);
            if (rowBytes == 0)
                continue;
            for (uint32_t y = pass.firstRow; y < fHeight; y += pass.rowStep) {
                if (!DecodeRow(rowBytes, columns, Target(y, pass.firstColumn, pass.columnStep)))
                    break;
            }
        }
    }

private:
    TRowTarget Target(uint32_t y, uint32_t firstColumn, uint32_t columnStep) const
    {
        const size_t bottomUpOffset = size_t{fHeight - 1 - y} * fHeader.BytesPerRow;
        TRowTarget target;
        target.data = fHeader.ImageData() + bottomUpOffset;
        if (uint8_t* alpha = fHeader.ImageAlpha())
            target.alpha = alpha + size_t{y} * fWidth;
        if (uint8_t* extra = fHeader.ExtraImageData())
            target.extra = extra + bottomUpOffset;
        target.firstColumn = firstColumn;
        target.columnStep = columnStep;
        return target;
    }

    // False when the file ended before a single byte of the row.
    bool DecodeRow(uint32_t rowBytes, uint32_t pixels, const TRowTarget& target)
    {
        if (fStream.Read(fCurrent.data(), size_t{rowBytes} + 1) == 0)
            return false;
        Unfilter(fCurrent[0], fCurrent.data() + 1, fPrevious.data() + 1, rowBytes, fOffset);
        fConvert(fCurrent.data() + 1, rowBytes, pixels, target, fGamma);
        std::swap(fCurrent, fPrevious);
        return true;
    }

    TChunkIHDR& fHeader;
    TIdatStream& fStream;
    TRowConverter fConvert;
    const TGammaTable& fGamma;
    uint8_t fColorType;
    uint8_t fBitDepth;
    uint32_t fWidth;
    uint32_t fHeight;
    unsigned fOffset;
    std::vector<uint8_t> fCurrent;
    std::vector<uint8_t> fPrevious;
};

} // namespace

// Pipeline: install the grey table -> open the IDAT stream -> per row:
// inflate one filtered row, unfilter it in place against the previous row,
// convert it straight into the header's planes -> check the last CRC.
//
// A sound stream is first decoded with the fast engine, which must take it
// to its end without a doubt; anything else (a failure of any kind, a
// stream longer or shorter than the image, a bad check value anywhere) is
// decoded again from the start by zlib, which raises what the file deserves.
// Rows the first attempt wrote are written again with the same bytes by
// any decode that succeeds.
void TChunkIDAT::LoadFromStream(TByteSource& stream, uint32_t size)
{
    TChunkIHDR& header = Header();
    const uint8_t colorType = header.IHDRData.ColorType;
    // Grey levels take the gamma of a gAMA chunk read before this point.
    if ((colorType == ctGrayscale || colorType == ctGrayscaleAlpha) && header.HasPalette)
        header.InstallGreyColorTable();

    const bool adam7 = fOwner.fInterlaceMethod == imAdam7;
    const TRowConverter convert = FindRowConverter(colorType, header.IHDRData.BitDepth, adam7, fOwner.GammaTable);
    const auto decode = [&](TIdatStream& idat) {
        if (!convert)
            RaiseError<EPNGInvalidBitDepth>();
        {
            TImageDataDecoder decoder(header, idat, convert, fOwner.GammaTable);
            if (adam7)
                decoder.DecodeAdam7();
            else
                decoder.DecodePlain();
        }
    };
    if (std::unique_ptr<TInflater> fast = fOwner.FastInflate() ? MakeFastInflater() : nullptr; fast && convert) {
        const uint64_t start = stream.Position();
        try {
            TIdatStream idat(stream, fName, size, std::move(fast));
            decode(idat);
            idat.ReadToStreamEnd();
            idat.FinishChunk();
            return;
        } catch (const TInflateDoubt&) {
        } catch (const std::exception&) {
        }
        stream.Seek(start);
    }
    TIdatStream idat(stream, fName, size, MakeZlibInflater());
    decode(idat);
    idat.FinishChunk();
}

} // namespace pix
