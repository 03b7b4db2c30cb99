#pragma once

#include "platform/PlaneMemory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pix {

class TByteSource;
class TPngImage;
class TChunkIHDR;

// The 4 type bytes exactly as they stand in the file.
using TChunkName = std::array<uint8_t, 4>;

// The standard forbids chunk lengths of 2^31 and more; no file can hold what
// they announce, so they fail like any other cut-off chunk.
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
void CheckChunkLength(uint32_t size);

// Reads a chunk's length and type; false when the file ends within them.
bool ReadChunkStart(TByteSource& source, uint32_t& size, TChunkName& type);

// A chunk's CRC runs over its type and its data. It is kept up as the data
// is read, whole or in blocks, and then compared with the stored value.
class TChunkCrc {
public:
    explicit TChunkCrc(const TChunkName& type);
    void Add(const uint8_t* data, size_t size);
    // Reads the 4 stored bytes after the data; a file that ends among them
    // fails like a wrong value.
    void Check(TByteSource& source) const;

private:
    unsigned long fValue;
};

// What the zTXt chunks of one file may inflate to, all together; a text
// beyond what is left counts as failed inflation. Text chunks carry
// captions and notes, and a few kilobytes of hostile data, or many chunks
// of them, must not expand into gigabytes.
constexpr size_t kMaxInflatedText = 16u << 20;

// A type compares as the text of its bytes up to the first zero byte.
std::string_view ChunkTypeText(const TChunkName& name);

// Colour types of the header.
enum TColorType : uint8_t {
    ctGrayscale = 0,
    ctRGB = 2,
    ctPalette = 3,
    ctGrayscaleAlpha = 4,
    ctRGBAlpha = 6,
};

// A chunk of any type: its data as read, owned by the image's chunk list.
class TChunk {
public:
    TChunk(TPngImage& owner, const TChunkName& name) : fOwner(owner), fName(name) {}
    virtual ~TChunk() = default;
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    // Reads size data bytes and the CRC after them, and checks the CRC over
    // type and data. Data or CRC cut off by the end of the stream fail the
    // check without being allocated.
    virtual void LoadFromStream(TByteSource& stream, uint32_t size);

    int Index() const;              // position in the owner's list, -1 when absent
    TChunkIHDR& Header() const;     // the owner's header
    const uint8_t* Data() const { return fData.data(); }
    uint32_t DataSize() const { return fDataSize; }
    TPngImage& Owner() const { return fOwner; }
    const TChunkName& Name() const { return fName; }

protected:
    std::vector<uint8_t> fData; // one byte longer than fDataSize
    uint32_t fDataSize = 0;
    TPngImage& fOwner;
    TChunkName fName;
};

class TChunkIEND : public TChunk {
public:
    static constexpr std::string_view kType = "IEND";
    using TChunk::TChunk;
};

struct TIHDRData {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t BitDepth = 0;
    uint8_t ColorType = 0;
    uint8_t CompressionMethod = 0;
    uint8_t FilterMethod = 0;
    uint8_t InterlaceMethod = 0;
};

// The bitmap information header of a device-independent bitmap.
struct TBitmapInfoHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

struct TRGBQuad {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;

    bool operator==(const TRGBQuad&) const = default;
};

struct TMaxBitmapInfo {
    TBitmapInfoHeader bmiHeader;
    std::array<TRGBQuad, 256> bmiColors;
};

// The header, and the decoded image it holds: a bottom-up bitmap whose rows
// are padded to 4 bytes (1, 4 or 8 bits per pixel indexed, or 24 bits
// blue-green-red), a top-down alpha plane for colour types 4 and 6, and a
// plane of the low bytes of 16-bit samples laid out like ImageData.
class TChunkIHDR : public TChunk {
public:
    static constexpr std::string_view kType = "IHDR";
    using TChunk::TChunk;

    void LoadFromStream(TByteSource& stream, uint32_t size) override;

    // Entries 0 .. n-1 of the colour table; ignored by 24-bit buffers.
    void InstallPalette(std::span<const TRGBQuad> colours);
    // The grey ramp for the table size, through the image's gamma table as
    // it stands now (colour types 0 and 4).
    void InstallGreyColorTable();

    // The planes are written by the image data decoder only; everyone else
    // reads them through a const header.
    const uint8_t* ImageData() const { return fImageData.get(); }
    uint8_t* ImageData() { return fImageData.get(); }
    // The same plane, for a bitmap that shows the image's rows as they are.
    const std::shared_ptr<uint8_t[]>& SharedImageData() const { return fImageData; }
    // nullptr unless colour type 4 or 6.
    const uint8_t* ImageAlpha() const { return fImageAlpha.get(); }
    uint8_t* ImageAlpha() { return fImageAlpha.get(); }
    // nullptr unless bit depth 16.
    const uint8_t* ExtraImageData() const { return fExtraImageData.get(); }
    uint8_t* ExtraImageData() { return fExtraImageData.get(); }

    TIHDRData IHDRData;
    TMaxBitmapInfo BitmapInfo{};
    bool HasPalette = false;
    uint32_t BytesPerRow = 0;

private:
    void PrepareImageBuffer();
    // A colour table of 2^biBitCount entries whose first levels entries
    // run evenly from black to white through the gamma table; the rest black.
    void InstallGreyRamp(int levels);

    std::shared_ptr<uint8_t[]> fImageData;
    TPlane fImageAlpha;
    TPlane fExtraImageData;
};

// The first IDAT chunk decodes the whole run of IDAT chunks into the
// header's buffer; its data is streamed, not kept.
class TChunkIDAT : public TChunk {
public:
    static constexpr std::string_view kType = "IDAT";
    using TChunk::TChunk;

    void LoadFromStream(TByteSource& stream, uint32_t size) override;
};

class TChunkPLTE : public TChunk {
public:
    static constexpr std::string_view kType = "PLTE";
    using TChunk::TChunk;

    void LoadFromStream(TByteSource& stream, uint32_t size) override;

    int Count() const { return fCount; }
    // Colour-table entry index as blue + 256 * green + 65536 * red; raises
    // EPngError when index is not below Count().
    uint32_t GetPaletteItem(int index) const;

private:
    int fCount = 0;
};

class TChunkgAMA : public TChunk {
public:
    static constexpr std::string_view kType = "gAMA";
    using TChunk::TChunk;

    void LoadFromStream(TByteSource& stream, uint32_t size) override;

    // The stored value when the data is 4 bytes long, otherwise 1.
    uint32_t Gamma() const;
};

class TChunktRNS : public TChunk {
public:
    static constexpr std::string_view kType = "tRNS";
    using TChunk::TChunk;

    void LoadFromStream(TByteSource& stream, uint32_t size) override;

    bool fBitTransparency = false;
    std::array<uint8_t, 256> PaletteValues{}; // 255 beyond the chunk's data
};

enum TUnitType : uint8_t { utUnknown = 0, utMeter = 1 };

class TChunkpHYs : public TChunk {
public:
    static constexpr std::string_view kType = "pHYs";
    using TChunk::TChunk;

    void LoadFromStream(TByteSource& stream, uint32_t size) override;

    uint32_t fPPUnitX = 0;
    uint32_t fPPUnitY = 0;
    TUnitType fUnit = utUnknown;
};

class TChunktIME : public TChunk {
public:
    static constexpr std::string_view kType = "tIME";
    using TChunk::TChunk;

    void LoadFromStream(TByteSource& stream, uint32_t size) override;

    uint16_t fYear = 0;
    uint8_t fMonth = 0;
    uint8_t fDay = 0;
    uint8_t fHour = 0;
    uint8_t fMinute = 0;
    uint8_t fSecond = 0;
};

class TChunktEXt : public TChunk {
public:
    static constexpr std::string_view kType = "tEXt";
    using TChunk::TChunk;

    void LoadFromStream(TByteSource& stream, uint32_t size) override;

    std::string fKeyword;
    std::string fText;
};

class TChunkzTXt : public TChunktEXt {
public:
    static constexpr std::string_view kType = "zTXt";
    using TChunktEXt::TChunktEXt;

    // Inflation that fails, or that would take the file's texts beyond
    // kMaxInflatedText, leaves fText empty, without an error.
    void LoadFromStream(TByteSource& stream, uint32_t size) override;
};

// The class registered for a type, tried in registration order; nullptr
// when none is (the chunk is then a plain TChunk).
std::unique_ptr<TChunk> CreateRegisteredChunk(TPngImage& owner, const TChunkName& name);

} // namespace pix
