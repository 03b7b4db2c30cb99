#pragma once

#include "png/Chunks.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pix {

class TByteSource;

enum TInterlaceMethod : uint8_t { imNone = 0, imAdam7 = 1 };

enum TPNGTransparencyMode { ptmNone, ptmBit, ptmPartial };

using TGammaTable = std::array<uint8_t, 256>;

// The chunks of an image in file order; the list owns them.
class TPNGList {
public:
    int Count() const { return static_cast<int>(fItems.size()); }
    TChunk* GetItem(int index) const; // nullptr when out of range
    TChunk* Add(std::unique_ptr<TChunk> chunk);
    void RemoveChunk(TChunk* chunk); // frees it
    void Clear() { fItems.clear(); }
    int IndexOf(const TChunk* chunk) const;

    // The first chunk of class C or a class derived from it.
    template <class C>
    C* FindChunk() const
    {
        for (const auto& item : fItems)
            if (auto* found = dynamic_cast<C*>(item.get()))
                return found;
        return nullptr;
    }

private:
    std::vector<std::unique_ptr<TChunk>> fItems;
};

// A PNG image read from a file or stream. A load either returns with the
// whole image decoded into the header's buffer or raises one of the
// exceptions of png/PngErrors.h (or EFOpenError); the image must not be used
// after a failed load.
class TPngImage {
public:
    TPngImage();
    TPngImage(const TPngImage&) = delete;
    TPngImage& operator=(const TPngImage&) = delete;

    // fileName is UTF-8.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TByteSource& stream);

    // Raises EPNGHeaderNotPresent. A const image has a read-only header.
    const TChunkIHDR& Header() const;
    TChunkIHDR& Header();
    uint32_t Width() const;     // 0 without a header
    uint32_t Height() const;
    bool Empty() const { return fChunkList.Count() == 0; }

    // Worked out from the header and the first tRNS chunk at every call.
    TPNGTransparencyMode TransparencyMode() const;
    // red + 256 * green + 65536 * blue; 0 without a tRNS chunk.
    int32_t TransparentColor() const;

    // Image row y, 0 being the top row; indexed rows are read with IndexAt.
    const uint8_t* Scanline(uint32_t y) const;
    const uint8_t* AlphaScanline(uint32_t y) const; // nullptr unless colour type 4 or 6
    const uint8_t* ExtraScanline(uint32_t y) const; // nullptr unless bit depth 16

    // The chunks as read, in file order, for looking at; only the reader
    // adds or removes chunks.
    const TPNGList& ChunkList() const { return fChunkList; }
    const TChunkPLTE* Palette() const { return fChunkList.FindChunk<TChunkPLTE>(); }
    // The first tRNS chunk, which alone decides the transparency.
    const TChunktRNS* Transparency() const { return fChunkList.FindChunk<TChunktRNS>(); }

    TGammaTable GammaTable;   // applied to colour samples and palette entries
    TGammaTable InverseGamma; // kept in step with GammaTable
    TInterlaceMethod fInterlaceMethod = imNone;

    // Sound image data is inflated by a faster engine where the build has
    // one (png/Inflater.h); false takes zlib alone. The results and the
    // failures are the same either way.
    bool FastInflate() const { return fFastInflate; }
    void SetFastInflate(bool fast) { fFastInflate = fast; }

private:
    // A chunk finds its own index in the list.
    friend class TChunk;
    // The zTXt chunks of one load share one budget of inflated text.
    friend class TChunkzTXt;

    TChunkIHDR* FindHeader() const; // item 0 when it is a header, else nullptr

    TPNGList fChunkList;
    bool fFastInflate = true;
    // Text inflated from the zTXt chunks of this load, all of which share
    // kMaxInflatedText.
    size_t fInflatedTextBytes = 0;
};

// The colour-table index of pixel x in an indexed row of 1, 4 or 8 bits
// per pixel, the leftmost pixel in the most significant bits.
inline uint8_t IndexAt(const uint8_t* row, uint32_t x, int bitCount)
{
    switch (bitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    default: return row[x];
    }
}

} // namespace pix
