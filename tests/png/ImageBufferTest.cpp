// The image buffer: bitmap header, colour tables, palettes, transparency.

#include "platform/AvailableMemory.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"

#include <gtest/gtest.h>

namespace pix {
namespace {

using namespace testing;

// Signature and header only: the buffer is prepared, nothing decoded.
TPngWriter Start(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType)
{
    return TPngWriter().Signature().IHDR(width, height, depth, colorType);
}

TBytes ImageStream(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType)
{
    return ZlibCompress(FilteredScanlines(TSampleImage::Random(width, height, depth, colorType, 3), false));
}

std::vector<int> Greys(const TChunkIHDR& header, int count)
{
    std::vector<int> greys;
    for (int k = 0; k < count; ++k) {
        const TRGBQuad& e = header.BitmapInfo.bmiColors[k];
        EXPECT_TRUE(e.rgbRed == e.rgbGreen && e.rgbGreen == e.rgbBlue && e.rgbReserved == 0) << k;
        greys.push_back(e.rgbRed);
    }
    return greys;
}

struct TLayout {
    uint8_t colorType, bitDepth;
    uint16_t bitCount;
    bool hasPalette;
    uint32_t bytesPerRow; // for width 3
};

class BufferLayout : public ::testing::TestWithParam<TLayout> {};

// Prepared from the header alone; the load then fails for lack of image data.
TEST_P(BufferLayout, FollowsTheHeader)
{
    const TLayout& c = GetParam();
    TPngImage image;
    LoadOutcome(image, Start(3, 2, c.bitDepth, c.colorType).IEND().Bytes());
    const TChunkIHDR& header = image.Header();
    const TBitmapInfoHeader& info = header.BitmapInfo.bmiHeader;
    EXPECT_EQ(info.biSize, 40u);
    EXPECT_EQ(info.biWidth, 3);
    EXPECT_EQ(info.biHeight, 2);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biCompression, 0u);
    EXPECT_EQ(info.biBitCount, c.bitCount);
    EXPECT_EQ(header.HasPalette, c.hasPalette);
    EXPECT_EQ(info.biClrUsed, c.hasPalette ? 1u << c.bitCount : 0u);
    EXPECT_EQ(header.BytesPerRow, c.bytesPerRow);
    const bool alpha = c.colorType == 4 || c.colorType == 6;
    EXPECT_EQ(header.ImageAlpha() != nullptr, alpha);
    EXPECT_EQ(header.ExtraImageData() != nullptr, c.bitDepth == 16);
    EXPECT_EQ(image.AlphaScanline(0) != nullptr, alpha);
    EXPECT_EQ(image.ExtraScanline(0) != nullptr, c.bitDepth == 16);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BufferLayout,
    ::testing::Values(TLayout{0, 1, 1, true, 4}, TLayout{0, 2, 4, true, 4}, TLayout{0, 4, 4, true, 4},
                      TLayout{0, 8, 8, true, 4}, TLayout{0, 16, 8, true, 4}, TLayout{3, 1, 1, true, 4},
                      TLayout{3, 2, 4, true, 4}, TLayout{3, 4, 4, true, 4}, TLayout{3, 8, 8, true, 4},
                      TLayout{3, 16, 8, true, 4}, TLayout{4, 8, 8, true, 4}, TLayout{4, 16, 8, true, 4},
                      TLayout{4, 2, 4, true, 4}, TLayout{2, 8, 24, false, 12}, TLayout{2, 16, 24, false, 12},
                      TLayout{6, 8, 24, false, 12}, TLayout{6, 16, 24, false, 12},
                      // No layout: no bit count, no colour table, no pixel memory.
                      TLayout{0, 3, 0, false, 0}, TLayout{3, 5, 0, false, 0}, TLayout{2, 4, 24, false, 12}));

TEST(ImageBuffer, BytesPerRowIsPaddedToFourBytes)
{
    TPngImage image;
    LoadOutcome(image, Start(1, 1, 8, 2).IEND().Bytes());
    EXPECT_EQ(image.Header().BytesPerRow, 4u);
    LoadOutcome(image, Start(33, 1, 1, 0).IEND().Bytes());
    EXPECT_EQ(image.Header().BytesPerRow, 8u);
    LoadOutcome(image, Start(5, 1, 4, 3).IEND().Bytes());
    EXPECT_EQ(image.Header().BytesPerRow, 4u);
}

TEST(ImageBuffer, ProvisionalGreyRampIsReplacedAtTheImageData)
{
    TPngImage image;
    LoadOutcome(image, Start(4, 1, 2, 0).IEND().Bytes());
    EXPECT_EQ(Greys(image.Header(), 16), (std::vector<int>{0, 85, 170, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    LoadBytes(image, Start(4, 1, 2, 0).IDAT(ZlibCompress({0, 0b00011011})).IEND().Bytes());
    std::vector<int> expected;
    for (int k = 0; k < 16; ++k)
        expected.push_back(17 * k);
    EXPECT_EQ(Greys(image.Header(), 16), expected);
    // Samples 0, 1, 2, 3 show as 0, 85, 170, 255.
    const TRGBQuad* table = image.Header().BitmapInfo.bmiColors.data();
    EXPECT_EQ(table[image.Scanline(0)[0] >> 4].rgbRed, 0);
    EXPECT_EQ(table[image.Scanline(0)[0] & 15].rgbRed, 85);
    EXPECT_EQ(table[image.Scanline(0)[1] >> 4].rgbRed, 170);
    EXPECT_EQ(table[image.Scanline(0)[1] & 15].rgbRed, 255);
}

TEST(ImageBuffer, GreyTablesAtEachDepth)
{
    const std::pair<uint8_t, std::vector<int>> cases[] = {{1, {0, 255}}, {4, {0, 17, 34, 51}}, {8, {0, 1, 2, 3}}, {16, {0, 1, 2, 3}}};
    for (const auto& [depth, first] : cases) {
        TPngImage image;
        LoadBytes(image, Start(3, 2, depth, 0).IDAT(ImageStream(3, 2, depth, 0)).IEND().Bytes());
        EXPECT_EQ(Greys(image.Header(), static_cast<int>(first.size())), first) << int(depth);
        EXPECT_EQ(image.Header().BitmapInfo.bmiHeader.biClrUsed, depth == 1 ? 2u : depth == 4 ? 16u : 256u);
    }
}

TEST(ImageBuffer, GreyTableTakesTheGammaBeforeTheImageData)
{
    TPngImage image;
    LoadBytes(image, Start(3, 2, 8, 4).Chunk("gAMA", BigEndianBytes(100000)).IDAT(ImageStream(3, 2, 8, 4)).IEND().Bytes());
    const std::vector<int> greys = Greys(image.Header(), 256);
    EXPECT_EQ(greys[1], 21);
    EXPECT_EQ(greys[128], 186);
}

TEST(ImageBuffer, PaletteOfAGreyImageCountsOnlyAfterTheImageData)
{
    const TBytes palette = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    TPngImage before, after;
    LoadBytes(before, Start(3, 2, 8, 0).Chunk("PLTE", palette).IDAT(ImageStream(3, 2, 8, 0)).IEND().Bytes());
    EXPECT_EQ(Greys(before.Header(), 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(before.Header().BitmapInfo.bmiHeader.biClrUsed, 256u);

    LoadBytes(after, Start(3, 2, 8, 0).IDAT(ImageStream(3, 2, 8, 0)).Chunk("PLTE", palette).IEND().Bytes());
    EXPECT_EQ(after.Header().BitmapInfo.bmiColors[1], (TRGBQuad{60, 50, 40, 0}));
    EXPECT_EQ(after.Header().BitmapInfo.bmiColors[3], (TRGBQuad{3, 3, 3, 0})); // grey entries stay
    EXPECT_EQ(after.Header().BitmapInfo.bmiHeader.biClrUsed, 3u);
}

TEST(ImageBuffer, PaletteImageTableFollowsPLTEWhereverItStands)
{
    const TBytes palette = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    for (bool paletteFirst : {true, false}) {
        TPngWriter writer = Start(3, 2, 4, 3);
        if (paletteFirst)
            writer.Chunk("PLTE", palette);
        writer.IDAT(ZlibCompress(TBytes(2 * 3, 0)));
        if (!paletteFirst)
            writer.Chunk("PLTE", palette);
        TPngImage image;
        LoadBytes(image, writer.IEND().Bytes());
        const TChunkIHDR& header = image.Header();
        EXPECT_EQ(header.BitmapInfo.bmiHeader.biClrUsed, 3u);
        EXPECT_EQ(header.BitmapInfo.bmiColors[0], (TRGBQuad{30, 20, 10, 0}));
        EXPECT_EQ(header.BitmapInfo.bmiColors[2], (TRGBQuad{90, 80, 70, 0}));
        const TChunkPLTE* plte = image.Palette();
        EXPECT_EQ(plte->GetPaletteItem(1), 60u + 256 * 50 + 65536 * 40);
    }
}

TEST(ImageBuffer, PaletteColoursPassThroughTheGammaTable)
{
    TPngImage image;
    LoadBytes(image, Start(1, 1, 8, 3)
                         .Chunk("gAMA", BigEndianBytes(100000))
                         .Chunk("PLTE", {1, 64, 128})
                         .IDAT(ZlibCompress({0, 0}))
                         .IEND()
                         .Bytes());
    EXPECT_EQ(image.Header().BitmapInfo.bmiColors[0], (TRGBQuad{186, 136, 21, 0}));
}

TEST(ImageBuffer, PaletteImageWithoutPLTEKeepsTheFixedTable)
{
    TPngImage image;
    LoadBytes(image, Start(2, 1, 8, 3).IDAT(ZlibCompress({0, 0, 255})).IEND().Bytes());
    const TChunkIHDR& header = image.Header();
    EXPECT_EQ(header.BitmapInfo.bmiHeader.biClrUsed, 256u);
    EXPECT_EQ(header.BitmapInfo.bmiColors[0], (TRGBQuad{0, 0, 0, 0}));
    EXPECT_EQ(header.BitmapInfo.bmiColors[255], (TRGBQuad{255, 255, 255, 0}));
    EXPECT_EQ(header.BitmapInfo.bmiColors[0b01001010], (TRGBQuad{170, 73, 73, 0}));
}

TEST(ImageBuffer, GetPaletteItemBeyondTheEntriesFails)
{
    TPngImage image;
    LoadBytes(image, Start(1, 1, 8, 3).Chunk("PLTE", {1, 2, 3, 4, 5, 6, 7, 8, 9}).IDAT(ZlibCompress({0, 0})).IEND().Bytes());
    const TChunkPLTE* plte = image.Palette();
    EXPECT_EQ(plte->GetPaletteItem(2), 9u + 256 * 8 + 65536 * 7);
    for (int index : {3, 255, -1}) {
        try {
            plte->GetPaletteItem(index);
            ADD_FAILURE() << index;
        } catch (const EPngError& e) {
            EXPECT_STREQ(e.what(), "There is no such palette entry.");
        }
    }
}

struct TTransparency {
    const char* name;
    uint8_t colorType, bitDepth;
    TBytes trns; // empty: no tRNS chunk
    TPNGTransparencyMode mode;
    bool bitTransparency;
};

class Transparency : public ::testing::TestWithParam<TTransparency> {};

TEST_P(Transparency, ModeFollowsColourTypeAndTRNS)
{
    const TTransparency& c = GetParam();
    TPngWriter writer = Start(2, 2, c.bitDepth, c.colorType);
    if (c.colorType == 3)
        writer.Chunk("PLTE", PaletteData(4));
    if (!c.trns.empty())
        writer.Chunk("tRNS", c.trns);
    TPngImage image;
    LoadBytes(image, writer.IDAT(ImageStream(2, 2, c.bitDepth, c.colorType)).IEND().Bytes());
    EXPECT_EQ(image.TransparencyMode(), c.mode);
    if (!c.trns.empty()) {
        EXPECT_EQ(image.Transparency()->fBitTransparency, c.bitTransparency);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Images, Transparency,
    ::testing::Values(TTransparency{"GreyNone", 0, 8, {}, ptmNone, false},
                      TTransparency{"GreyBit", 0, 8, {0, 200}, ptmBit, true},
                      TTransparency{"RGBBit", 2, 8, {0, 1, 0, 2, 0, 3}, ptmBit, true},
                      TTransparency{"PaletteNone", 3, 2, {}, ptmNone, false},
                      TTransparency{"PaletteOneEntryBelow255", 3, 2, {255, 0, 255}, ptmBit, true},
                      TTransparency{"PaletteOneOf128", 3, 2, {255, 128, 255, 255}, ptmBit, true},
                      TTransparency{"PaletteTwoZeros", 3, 2, {0, 0}, ptmPartial, false},
                      TTransparency{"PaletteAllOpaque", 3, 2, {255, 255}, ptmPartial, false},
                      TTransparency{"GreyAlphaAlwaysPartial", 4, 8, {}, ptmPartial, false},
                      TTransparency{"RGBAlphaAlwaysPartial", 6, 8, {}, ptmPartial, false},
                      TTransparency{"RGBAlphaWithTRNS", 6, 8, {0, 0, 0, 0, 0, 0}, ptmPartial, false}),
    [](const ::testing::TestParamInfo<TTransparency>& info) { return std::string(info.param.name); });

TEST(ImageBuffer, AllOpaqueAlphaIsStillPartial)
{
    TSampleImage samples = TSampleImage::Random(2, 2, 8, 6, 1);
    for (size_t i = 3; i < samples.samples.size(); i += 4)
        samples.samples[i] = 255;
    TPngImage image;
    LoadBytes(image, EncodePng(samples, false));
    EXPECT_EQ(image.TransparencyMode(), ptmPartial);
    EXPECT_EQ(image.Header().ImageAlpha()[3], 255); // pixel (1, 1), top-down, no padding
}

int32_t TransparentColorOf(TPngWriter writer, uint8_t depth, uint8_t colorType)
{
    TPngImage image;
    LoadBytes(image, writer.IDAT(ImageStream(2, 2, depth, colorType)).IEND().Bytes());
    return image.TransparentColor();
}

TEST(ImageBuffer, TransparentColour)
{
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 8, 0), 8, 0), 0);
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 8, 0).Chunk("tRNS", {0, 200}), 8, 0), 200 * 65793);
    // Through the grey table, which took the gamma.
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 8, 0).Chunk("gAMA", BigEndianBytes(100000)).Chunk("tRNS", {0, 128}), 8, 0),
              186 * 65793);
    // A 1-bit grey level 1 is entry 1 of the 2-entry table: white.
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 1, 0).Chunk("tRNS", {0, 1}), 1, 0), 255 * 65793);
    // RGB: the low bytes, through the gamma table.
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 8, 2).Chunk("tRNS", {9, 10, 9, 20, 9, 30}), 8, 2), 10 + 256 * 20 + 65536 * 30);
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 8, 2).Chunk("gAMA", BigEndianBytes(100000)).Chunk("tRNS", {0, 1, 0, 64, 0, 128}), 8, 2),
              21 + 256 * 136 + 65536 * 186);
    // Palette: the first entry whose alpha is 0, as red + 256 green + 65536 blue.
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 2, 3).Chunk("PLTE", PaletteData(4)).Chunk("tRNS", {255, 0, 0}), 2, 3),
              1 + 256 * 254 + 65536 * 7);
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 2, 3).Chunk("PLTE", PaletteData(4)).Chunk("tRNS", {255, 128}), 2, 3), 0);
    EXPECT_EQ(TransparentColorOf(Start(2, 2, 8, 6).Chunk("tRNS", {0, 0}), 8, 6), 0);
}

TEST(ImageBuffer, TransparentEntryBeyondThePaletteFails)
{
    for (bool withPalette : {true, false}) {
        TPngWriter writer = Start(2, 2, 2, 3);
        if (withPalette)
            writer.Chunk("PLTE", PaletteData(2));
        writer.Chunk("tRNS", {255, 255, 0});
        TPngImage image;
        LoadBytes(image, writer.IDAT(ImageStream(2, 2, 2, 3)).IEND().Bytes());
        EXPECT_EQ(image.TransparencyMode(), ptmBit);
        try {
            image.TransparentColor();
            ADD_FAILURE();
        } catch (const EPngError& e) {
            EXPECT_STREQ(e.what(), "There is no such palette entry.");
        }
    }
}

// Needs about 30 GB; where the machine has that much the guard stays silent
// and the test has nothing to show.
TEST(ImageBuffer, ImageLargerThanMemoryFailsCleanly)
{
    const uint64_t needed = 196608ull * 65535 * 2 + 65535ull * 65535;
    const std::optional<uint64_t> available = AvailableMemoryBytes();
    if (!available || *available >= needed)
        GTEST_SKIP() << "the machine could hold it";
    TPngImage image;
    const TLoadOutcome outcome = LoadOutcome(image, Start(65535, 65535, 16, 6).IDAT(ZlibCompress({0})).IEND().Bytes());
    EXPECT_TRUE(outcome.kind == typeid(EPNGOutOfMemory));
    EXPECT_EQ(outcome.message,
              "Not enough memory to load this \"Portable Network Graphics\" image of 65535 x 65535 pixels.");
    // The program goes on: the next image loads.
    LoadBytes(image, Start(2, 2, 8, 0).IDAT(ImageStream(2, 2, 8, 0)).IEND().Bytes());
    EXPECT_EQ(image.Width(), 2u);
}

} // namespace
} // namespace pix
