#include "resources/Pictures.h"

#include "png/ByteSource.h"
#include "png/PngImage.h"
#include "tests/support/PngWriter.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace pix {
namespace {

using Colour = std::tuple<int, int, int>;

TIHDRData HeaderOf(std::span<const uint8_t> png)
{
    TMemorySource source(png);
    TPngImage image;
    image.LoadFromStream(source);
    return image.Header().IHDRData;
}

Colour ColourAt(const TBitmap32& picture, int x, int y)
{
    const uint8_t* pixel = picture.Row(y) + 4 * x;
    return {pixel[kRed], pixel[kGreen], pixel[kBlue]};
}

struct DecodeCase {
    uint8_t colorType;
    uint8_t bitDepth;
};

class DecodingRule : public ::testing::TestWithParam<DecodeCase> {};

// The colour and alpha a pixel of the file must come out as, from its samples.
std::tuple<int, int, int, int> ExpectedPixel(const testing::TSampleImage& image, uint32_t x, uint32_t y)
{
    const int maximum = (1 << image.bitDepth) - 1;
    // 16-bit samples are shown by their high byte; low depths are stretched.
    auto level = [&](int channel) {
        const int sample = image.Sample(x, y, channel);
        return image.bitDepth == 16 ? sample >> 8 : sample * 255 / maximum;
    };
    switch (image.colorType) {
    case ctPalette: {
        const int index = image.Sample(x, y, 0);
        return {index, 255 - index, (7 * index) & 255, 255};
    }
    case ctGrayscale:
        return {level(0), level(0), level(0), 255};
    case ctGrayscaleAlpha:
        return {level(0), level(0), level(0), level(1)};
    case ctRGB:
        return {level(0), level(1), level(2), 255};
    default:
        return {level(0), level(1), level(2), level(3)};
    }
}

TEST_P(DecodingRule, GivesBlueGreenRedAndAlphaOpaqueWithoutAnAlphaChannel)
{
    const testing::TSampleImage image =
        testing::TSampleImage::Random(7, 3, GetParam().bitDepth, GetParam().colorType, 11);
    const testing::TBytes png = testing::EncodePng(image, false);
    const TBitmap32 picture = DecodePicture32(std::span<const uint8_t>(png));
    ASSERT_EQ(picture.Width(), 7);
    ASSERT_EQ(picture.Height(), 3);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 7; ++x) {
            const uint8_t* pixel = picture.Row(static_cast<int>(y)) + 4 * x;
            EXPECT_EQ(std::make_tuple(int{pixel[kRed]}, int{pixel[kGreen]}, int{pixel[kBlue]}, int{pixel[kAlpha]}),
                      ExpectedPixel(image, x, y))
                << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, DecodingRule,
                         ::testing::Values(DecodeCase{ctPalette, 1}, DecodeCase{ctPalette, 2}, DecodeCase{ctPalette, 4},
                                           DecodeCase{ctPalette, 8}, DecodeCase{ctGrayscale, 1},
                                           DecodeCase{ctGrayscale, 4}, DecodeCase{ctGrayscale, 8},
                                           DecodeCase{ctGrayscale, 16}, DecodeCase{ctRGB, 8}, DecodeCase{ctRGB, 16},
                                           DecodeCase{ctGrayscaleAlpha, 8}, DecodeCase{ctRGBAlpha, 8},
                                           DecodeCase{ctRGBAlpha, 16}));

TEST(ButtonPictures, Are255By65RgbWithSixteenColoursOnTheirBackground)
{
    const std::vector<TEmbeddedPicture> pictures = ButtonPictures();
    const Colour backgrounds[] = {{127, 127, 127}, {166, 166, 166}, {143, 170, 220}, {159, 189, 245}};
    const char* names[] = {"Load2", "Load1", "Save2", "Save1"};
    ASSERT_EQ(pictures.size(), 4u);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_STREQ(pictures[i].ImageName, names[i]);
        const TIHDRData header = HeaderOf(pictures[i].Png);
        EXPECT_EQ(header.Width, 255u);
        EXPECT_EQ(header.Height, 65u);
        EXPECT_EQ(header.BitDepth, 8);
        EXPECT_EQ(header.ColorType, ctRGB);
        EXPECT_EQ(header.InterlaceMethod, 0);

        const TBitmap32 picture = DecodePicture32(pictures[i].Png);
        std::set<Colour> colours;
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x) {
                colours.insert(ColourAt(picture, x, y));
                ASSERT_EQ(picture.Row(y)[4 * x + kAlpha], 255);
            }
        EXPECT_EQ(colours.size(), 16u);
        EXPECT_EQ(ColourAt(picture, 0, 0), backgrounds[i]);
        EXPECT_TRUE(colours.count({230, 230, 230}));
    }
}

TEST(PlaceholderPicture, IsAGlyphDrawnByAlphaInsideItsRectangle)
{
    const TIHDRData header = HeaderOf(PlaceholderPng());
    EXPECT_EQ(header.BitDepth, 8);
    EXPECT_EQ(header.ColorType, ctRGBAlpha);

    const TBitmap32 picture = PlaceholderPicture();
    ASSERT_EQ(picture.Width(), 305);
    ASSERT_EQ(picture.Height(), 305);
    int opaque = 0;
    int edge = 0;
    int transparent = 0;
    for (int y = 0; y < 305; ++y)
        for (int x = 0; x < 305; ++x) {
            const int alpha = picture.Row(y)[4 * x + kAlpha];
            if (x >= 47 && x <= 259 && y >= 40 && y <= 267) {
                ASSERT_EQ(ColourAt(picture, x, y), (Colour{143, 170, 220})) << x << ", " << y;
                (alpha == 255 ? opaque : alpha == 0 ? transparent : edge)++;
            } else {
                ASSERT_EQ(ColourAt(picture, x, y), (Colour{255, 255, 255})) << x << ", " << y;
                ASSERT_EQ(alpha, 0) << x << ", " << y;
            }
        }
    // About half of the glyph's rectangle is ink, with a thin anti-aliased rim.
    EXPECT_GT(opaque, 18000);
    EXPECT_GT(transparent, 18000);
    EXPECT_GT(edge, 500);
    EXPECT_LT(edge, 2500);
    // The apex is ink and the feet stand apart: a capital A.
    EXPECT_EQ(picture.Row(45)[4 * 153 + kAlpha], 255);
    EXPECT_EQ(picture.Row(260)[4 * 60 + kAlpha], 255);
    EXPECT_EQ(picture.Row(260)[4 * 246 + kAlpha], 255);
    EXPECT_EQ(picture.Row(260)[4 * 153 + kAlpha], 0);
}

TEST(ProgramIcon, HasFourEqualSquaresAtEverySize)
{
    const std::vector<std::span<const uint8_t>> icons = ProgramIconPngs();
    const int sizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
    ASSERT_EQ(icons.size(), std::size(sizes));
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const int size = sizes[i];
        SCOPED_TRACE(size);
        const TBitmap32 icon = DecodePicture32(icons[i]);
        ASSERT_EQ(icon.Width(), size);
        ASSERT_EQ(icon.Height(), size);
        const int half = size / 2;
        EXPECT_EQ(ColourAt(icon, 0, 0), Colour(127, 127, 127));
        EXPECT_EQ(ColourAt(icon, half - 1, half - 1), Colour(127, 127, 127));
        EXPECT_EQ(ColourAt(icon, half, 0), Colour(166, 166, 166));
        EXPECT_EQ(ColourAt(icon, 0, half), Colour(217, 217, 217));
        EXPECT_EQ(ColourAt(icon, size - 1, size - 1), Colour(191, 191, 191));
    }
}

} // namespace
} // namespace pix
