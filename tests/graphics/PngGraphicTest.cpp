#include "graphics/Bitmap32.h"
#include "graphics/PngGraphic.h"
#include "png/ByteSource.h"
#include "png/PngErrors.h"
#include "png/PngImage.h"
#include "tests/support/PngWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace pix {
namespace {

using testing::TBytes;
using testing::TSampleImage;

constexpr uint8_t kGrey = 0, kRGB = 2, kPalette = 3, kGreyAlpha = 4, kRGBAlpha = 6;

int32_t Value(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}

TSampleImage Samples(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType,
                     std::vector<uint16_t> samples)
{
    return TSampleImage{width, height, bitDepth, colorType, std::move(samples)};
}

// A file of these samples with the given chunks between IHDR and IDAT.
TBytes File(const TSampleImage& image, const std::vector<std::pair<const char*, TBytes>>& chunks = {})
{
    testing::TPngWriter writer;
    writer.Signature().IHDR(image.width, image.height, image.bitDepth, image.colorType);
    for (const auto& [type, data] : chunks)
        writer.Chunk(type, data);
    writer.IDAT(testing::ZlibCompress(testing::FilteredScanlines(image, false))).IEND();
    return writer.Bytes();
}

void Load(TPngImage& image, const TBytes& file)
{
    TMemorySource source(file);
    image.LoadFromStream(source);
}

// Palette entries 0 .. n-1 as PLTE data.
TBytes Plte(const std::vector<int32_t>& values)
{
    TBytes data;
    for (const int32_t value : values) {
        data.push_back(static_cast<uint8_t>(value));
        data.push_back(static_cast<uint8_t>(value >> 8));
        data.push_back(static_cast<uint8_t>(value >> 16));
    }
    return data;
}

std::vector<int32_t> AllPixels(const TBitmap& bitmap)
{
    std::vector<int32_t> values;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            values.push_back(bitmap.Pixels(x, y));
    return values;
}

class PngGraphicTest : public ::testing::Test {
protected:
    // Loads and assigns; the image stays for comparisons.
    const TPNGGraphic& Assign(const TBytes& file)
    {
        Load(fImage, file);
        fBitmap.Assign(fImage);
        return fBitmap;
    }

    TPngImage fImage;
    TPNGGraphic fBitmap;
};

struct PlainCase {
    const char* name;
    uint8_t bitDepth;
    uint8_t colorType;
    TPixelFormat format;
};

void PrintTo(const PlainCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlainFormatTest : public PngGraphicTest, public ::testing::WithParamInterface<PlainCase> {};

TEST_P(PlainFormatTest, CopiesEveryPixelOneToOne)
{
    const PlainCase& c = GetParam();
    const TSampleImage samples = TSampleImage::Random(13, 5, c.bitDepth, c.colorType, 7);
    std::vector<std::pair<const char*, TBytes>> chunks;
    std::vector<int32_t> palette;
    if (c.colorType == kPalette) {
        for (int i = 0; i < (1 << std::min<int>(c.bitDepth, 8)); ++i)
            palette.push_back(Value(i * 3 % 256, 255 - i, i * 7 % 256));
        chunks.push_back({"PLTE", Plte(palette)});
    }
    const TBitmap& bitmap = Assign(File(samples, chunks));

    EXPECT_EQ(bitmap.Width(), 13);
    EXPECT_EQ(bitmap.Height(), 5);
    EXPECT_EQ(bitmap.PixelFormat(), c.format);
    EXPECT_EQ(bitmap.AlphaFormat(), afIgnored);
    const int shift = c.bitDepth == 16 ? 8 : 0;
    const int levels = (1 << std::min<int>(c.bitDepth, 8)) - 1;
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 13; ++x) {
            int32_t expected;
            if (c.colorType == kRGB)
                expected = Value(samples.Sample(x, y, 0) >> shift, samples.Sample(x, y, 1) >> shift,
                                 samples.Sample(x, y, 2) >> shift);
            else if (c.colorType == kPalette)
                expected = palette[samples.Sample(x, y, 0)];
            else
                expected = ((samples.Sample(x, y, 0) >> shift) * 255 / levels) * 65793;
            ASSERT_EQ(bitmap.Pixels(static_cast<int>(x), static_cast<int>(y)), expected) << x << "," << y;
            ASSERT_EQ(bitmap.Alpha(static_cast<int>(x), static_cast<int>(y)), 255);
        }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, PlainFormatTest,
    ::testing::Values(PlainCase{"Grey1", 1, kGrey, pf1bit}, PlainCase{"Grey2", 2, kGrey, pf4bit},
                      PlainCase{"Grey4", 4, kGrey, pf4bit}, PlainCase{"Grey8", 8, kGrey, pf24bit},
                      PlainCase{"Grey16", 16, kGrey, pf24bit}, PlainCase{"Rgb8", 8, kRGB, pf24bit},
                      PlainCase{"Rgb16", 16, kRGB, pf24bit}, PlainCase{"Palette1", 1, kPalette, pf1bit},
                      PlainCase{"Palette2", 2, kPalette, pf4bit}, PlainCase{"Palette4", 4, kPalette, pf4bit},
                      PlainCase{"Palette8", 8, kPalette, pf8bit}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PngGraphicTest, ReadsOutsideAreMinusOne)
{
    const TBitmap& bitmap = Assign(File(Samples(2, 1, 8, kRGB, {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(bitmap.Pixels(0, 0), Value(1, 2, 3));
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {2, 0}, {0, -1}, {0, 1}})
        EXPECT_EQ(bitmap.Pixels(x, y), -1);
}

TEST_F(PngGraphicTest, ColourAlphaIsCompositedOntoBlack)
{
    const TBitmap& bitmap = Assign(File(Samples(4, 1, 8, kRGBAlpha,
        {200, 100, 50, 128, 200, 100, 50, 0, 200, 100, 50, 255, 100, 100, 100, 200})));
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.AlphaFormat(), afDefined);
    EXPECT_EQ(AllPixels(bitmap), (std::vector<int32_t>{Value(100, 50, 25), 0, Value(200, 100, 50), Value(78, 78, 78)}));
    EXPECT_EQ(bitmap.Alpha(0, 0), 128);
    EXPECT_EQ(bitmap.Alpha(1, 0), 0);
    EXPECT_EQ(bitmap.Alpha(3, 0), 200);
}

TEST_F(PngGraphicTest, SixteenBitReadsAsItsHighBytes)
{
    const TBitmap& wide = Assign(File(Samples(1, 1, 16, kRGBAlpha, {0xC8FF, 0x6401, 0x3280, 0x80FF})));
    EXPECT_EQ(wide.Pixels(0, 0), Value(100, 50, 25));
}

TEST_F(PngGraphicTest, GreyAlphaIgnoresGammaWhilePlainGreyUsesIt)
{
    const TBytes halfGamma = testing::BigEndianBytes(50000);
    const TBitmap& composited = Assign(File(Samples(2, 1, 8, kGreyAlpha, {100, 255, 100, 200}), {{"gAMA", halfGamma}}));
    EXPECT_EQ(AllPixels(composited), (std::vector<int32_t>{100 * 65793, 78 * 65793}));

    TPngImage plain;
    Load(plain, File(Samples(1, 1, 8, kGrey, {100}), {{"gAMA", halfGamma}}));
    ASSERT_NE(plain.GammaTable[100], 100);
    fBitmap.Assign(plain);
    EXPECT_EQ(fBitmap.Pixels(0, 0), plain.GammaTable[100] * 65793);
}

TEST_F(PngGraphicTest, PaletteWithOneTranslucentEntryIsCopiedPlainly)
{
    const TBitmap& bitmap = Assign(File(Samples(2, 1, 8, kPalette, {0, 1}),
        {{"PLTE", Plte({Value(100, 100, 100), Value(1, 2, 3)})}, {"tRNS", {128}}}));
    EXPECT_EQ(fImage.TransparencyMode(), ptmBit);
    EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
    EXPECT_TRUE(bitmap.Transparent);
    EXPECT_EQ(bitmap.TransparentColor, 0);
    EXPECT_EQ(AllPixels(bitmap), (std::vector<int32_t>{Value(100, 100, 100), Value(1, 2, 3)}));
}

TEST_F(PngGraphicTest, PaletteWithTwoTranslucentEntriesRoundsItsOwnWay)
{
    const TBitmap& bitmap = Assign(File(Samples(3, 1, 8, kPalette, {0, 1, 2}),
        {{"PLTE", Plte({Value(100, 100, 100), Value(255, 0, 10), Value(7, 8, 9)})}, {"tRNS", {200, 0}}}));
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    // (c * a + 255) div 256: 79 where colour type 6 gives 78.
    EXPECT_EQ(AllPixels(bitmap), (std::vector<int32_t>{Value(79, 79, 79), 0, Value(7, 8, 9)}));
    EXPECT_EQ(bitmap.Alpha(0, 0), 200);
    EXPECT_EQ(bitmap.Alpha(1, 0), 0);
    EXPECT_EQ(bitmap.Alpha(2, 0), 255);
}

// Each pixel sits where a neighbouring rule would give another byte: adding
// 128 or nothing before dividing by 255, or the palette's rule, for colour
// types 6 and 4; adding 127 or 256 before shifting, for the palette.
TEST_F(PngGraphicTest, CompositeRoundingIsPinnedWhereNeighbouringRulesDiffer)
{
    const std::vector<int32_t> overBlack255 = {0, Value(1, 1, 1), Value(255, 255, 255), Value(1, 1, 1)};
    EXPECT_EQ(AllPixels(Assign(File(Samples(4, 1, 8, kRGBAlpha,
        {127, 127, 127, 1, 128, 128, 128, 1, 255, 255, 255, 255, 1, 1, 1, 128})))), overBlack255);
    EXPECT_EQ(AllPixels(Assign(File(Samples(4, 1, 8, kGreyAlpha, {127, 1, 128, 1, 255, 255, 1, 128})))),
              overBlack255);

    const TBitmap& palette = Assign(File(Samples(3, 1, 8, kPalette, {0, 1, 2}),
        {{"PLTE", Plte({Value(1, 1, 1), Value(16, 16, 16), Value(255, 255, 255)})}, {"tRNS", {1, 16, 255}}}));
    EXPECT_EQ(AllPixels(palette), (std::vector<int32_t>{Value(1, 1, 1), Value(1, 1, 1), Value(255, 255, 255)}));
}

TEST_F(PngGraphicTest, PaletteMarkedAllOpaqueIsThirtyTwoBitsWithPlainColours)
{
    const TBitmap& bitmap = Assign(File(Samples(2, 1, 1, kPalette, {1, 0}),
        {{"PLTE", Plte({Value(10, 20, 30), Value(250, 251, 252)})}, {"tRNS", {255, 255}}}));
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(AllPixels(bitmap), (std::vector<int32_t>{Value(250, 251, 252), Value(10, 20, 30)}));
}

TEST_F(PngGraphicTest, BitTransparentGreyKeepsItsStoredColours)
{
    const TBitmap& bitmap = Assign(File(Samples(2, 1, 8, kGrey, {200, 17}), {{"tRNS", {0, 200}}}));
    EXPECT_TRUE(bitmap.Transparent);
    EXPECT_EQ(bitmap.TransparentColor, 200 * 65793);
    EXPECT_EQ(AllPixels(bitmap), (std::vector<int32_t>{200 * 65793, 17 * 65793}));
}

TEST_F(PngGraphicTest, IndexBeyondTheColourTableReadsBlack)
{
    const TBitmap& bitmap = Assign(File(Samples(2, 1, 8, kPalette, {1, 5}), {{"PLTE", Plte({1, 2})}}));
    EXPECT_EQ(AllPixels(bitmap), (std::vector<int32_t>{2, 0}));
}

TEST_F(PngGraphicTest, SmallerSecondPictureLeavesNothingOfTheFirst)
{
    Assign(File(TSampleImage::Random(9, 7, 8, kRGBAlpha, 3)));
    TPngImage second;
    Load(second, File(Samples(2, 1, 2, kGrey, {3, 1})));
    fBitmap.Assign(second);
    EXPECT_EQ(fBitmap.Width(), 2);
    EXPECT_EQ(fBitmap.Height(), 1);
    EXPECT_EQ(fBitmap.PixelFormat(), pf4bit);
    EXPECT_EQ(fBitmap.AlphaFormat(), afIgnored);
    EXPECT_EQ(AllPixels(fBitmap), (std::vector<int32_t>{255 * 65793, 85 * 65793}));
}

TEST_F(PngGraphicTest, PartialPaletteIndexBeyondPaletteLeavesTransparentBlack)
{
    Assign(File(TSampleImage::Random(3, 3, 8, kRGB, 5)));
    TPngImage broken;
    Load(broken, File(Samples(3, 2, 8, kPalette, {0, 1, 0, 1, 0, 2}), {{"PLTE", Plte({5, 6})}, {"tRNS", {1, 2}}}));
    try {
        fBitmap.Assign(broken);
        FAIL() << "no failure";
    } catch (const EPngError& e) {
        EXPECT_STREQ(e.what(), "There is no such palette entry.");
    }
    EXPECT_EQ(fBitmap.Width(), 3);
    EXPECT_EQ(fBitmap.Height(), 2);
    EXPECT_EQ(fBitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(AllPixels(fBitmap), std::vector<int32_t>(6, 0));
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(fBitmap.Alpha(x, 1), 0);
}

TEST_F(PngGraphicTest, BitTransparentEntryBeyondPaletteFailsAfterTheColourTable)
{
    TPngImage broken;
    Load(broken, File(Samples(2, 1, 8, kPalette, {0, 1}), {{"PLTE", Plte({5, 6})}, {"tRNS", {255, 255, 0}}}));
    EXPECT_THROW(fBitmap.Assign(broken), EPngError);
    EXPECT_EQ(fBitmap.Width(), 2);
    EXPECT_EQ(fBitmap.PixelFormat(), pf8bit);
    EXPECT_EQ(fBitmap.Palette().size(), 2u);
}

TEST_F(PngGraphicTest, EveryStepNotifies)
{
    int changes = 0;
    fBitmap.OnChange = [&] { ++changes; };
    Assign(File(Samples(1, 1, 8, kGrey, {1}), {{"tRNS", {0, 1}}}));
    EXPECT_EQ(changes, 5); // size, format, palette, transparency, pixels
}

TEST(Picture32Test, BecomesAnOpaqueIgnoringCopy)
{
    TBitmap32 picture(2, 1);
    const uint8_t bytes[] = {30, 20, 10, 0, 3, 2, 1, 77};
    std::copy(std::begin(bytes), std::end(bytes), picture.Bits());
    TPNGGraphic bitmap;
    bitmap.AssignPicture32(picture);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.AlphaFormat(), afIgnored);
    EXPECT_EQ(AllPixels(bitmap), (std::vector<int32_t>{Value(10, 20, 30), Value(1, 2, 3)}));
    EXPECT_EQ(bitmap.Alpha(1, 0), 77);
}

class HugeBitmap : public TBitmap {
public:
    void Resize(int width, int height) { Reallocate(width, height, pf32bit); }
};

TEST(BitmapMemoryTest, SizeTheMachineCannotHoldFailsAndKeepsThePicture)
{
    HugeBitmap bitmap;
    bitmap.Resize(3, 2);
    try {
        bitmap.Resize(1 << 30, 1 << 30);
        FAIL() << "no failure";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Not enough memory to show an image of 1073741824 x 1073741824 pixels.");
    }
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
}

} // namespace
} // namespace pix
