// Image data: the IDAT stream across chunks, filters, row orders and every
// row converter, checked against the samples written and against libpng.

#include "png/PngErrors.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace pix {
namespace {

using namespace testing;

TBytes FileWithStream(const TSampleImage& s, bool adam7, const TBytes& stream, const std::vector<size_t>& splits = {})
{
    return TPngWriter()
        .Signature()
        .IHDR(s.width, s.height, s.bitDepth, s.colorType, adam7)
        .IDAT(stream, splits)
        .IEND()
        .Bytes();
}

struct TFormat {
    uint8_t colorType, bitDepth;
};

// Every pair the reader accepts, including 16-bit palette indexes.
constexpr TFormat kFormats[] = {
    {0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1}, {3, 2},
    {3, 4}, {3, 8}, {3, 16}, {4, 8}, {4, 16}, {6, 8}, {6, 16},
};

using TSweepParam = std::tuple<TFormat, bool, TFilterChoice>;

std::string SweepName(const ::testing::TestParamInfo<TSweepParam>& info)
{
    const auto [format, adam7, filters] = info.param;
    return "Type" + std::to_string(format.colorType) + "Depth" + std::to_string(format.bitDepth) +
           (adam7 ? "Adam7" : "Plain") + "Filter" + std::to_string(static_cast<int>(filters));
}

class DecodeSweep : public ::testing::TestWithParam<TSweepParam> {};

TEST_P(DecodeSweep, StoresWhatTheSamplesPrescribe)
{
    const auto [format, adam7, filters] = GetParam();
    uint32_t seed = 1;
    // Odd sizes exercise partial bytes and Adam7 passes without columns or rows.
    for (auto [width, height] : {std::pair{1u, 1u}, {3u, 5u}, {9u, 7u}, {17u, 4u}, {2u, 11u}, {33u, 9u}}) {
        const TSampleImage samples = TSampleImage::Random(width, height, format.bitDepth, format.colorType, seed++);
        const TBytes file = EncodePng(samples, adam7, filters);
        TPngImage image;
        LoadBytes(image, file);
        EXPECT_EQ(CompareWithSamples(image, samples), "") << width << " x " << height;
        if (format.colorType == 3 && format.bitDepth == 16)
            continue; // outside the standard: libpng refuses it
        const std::optional<TSampleImage> oracle = DecodeWithLibpng(file);
        ASSERT_TRUE(oracle.has_value());
        EXPECT_EQ(oracle->samples, samples.samples) << "the test writer disagrees with libpng";
        EXPECT_EQ(CompareWithSamples(image, *oracle), "") << width << " x " << height;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, DecodeSweep,
    ::testing::Combine(::testing::ValuesIn(kFormats), ::testing::Bool(),
                       ::testing::Values(TFilterChoice::Cycle, TFilterChoice::Up, TFilterChoice::Paeth)),
    SweepName);

TEST(ImageData, SplitsAnywhereInTheStreamDecodeTheSame)
{
    const TSampleImage samples = TSampleImage::Random(13, 11, 8, 2, 5);
    for (bool adam7 : {false, true}) {
        const TBytes stream = ZlibCompress(FilteredScanlines(samples, adam7));
        // Inside the 2-byte zlib header, chunks of length 0 first, in the
        // middle and last, and one chunk per byte.
        std::vector<std::vector<size_t>> splitSets = {{1}, {0, 0, 1, 2}, {2, 2, 2}, {stream.size()}, {}};
        for (size_t at = 1; at < stream.size(); ++at)
            splitSets.back().push_back(at);
        for (const auto& splits : splitSets) {
            TPngImage image;
            LoadBytes(image, FileWithStream(samples, adam7, stream, splits));
            EXPECT_EQ(CompareWithSamples(image, samples), "") << splits.size() << " splits";
        }
    }
}

TEST(ImageData, FormatsWithoutConverterFailInBothRowOrders)
{
    const TFormat invalid[] = {{4, 4}, {2, 4}, {0, 3}, {3, 5}, {6, 1}, {4, 2}, {2, 1}, {0, 32}, {6, 255}};
    for (const TFormat& f : invalid) {
        for (bool adam7 : {false, true}) {
            const TSampleImage samples = TSampleImage::Random(5, 3, std::min<uint8_t>(f.bitDepth, 16), f.colorType, 1);
            TPngImage image;
            const TLoadOutcome outcome = LoadOutcome(
                image, TPngWriter()
                           .Signature()
                           .IHDR(5, 3, f.bitDepth, f.colorType, adam7)
                           .IDAT(ZlibCompress(FilteredScanlines(samples, adam7)))
                           .IEND()
                           .Bytes());
            EXPECT_EQ(outcome.message, ExpectedMessage(typeid(EPNGInvalidBitDepth)))
                << int(f.colorType) << "/" << int(f.bitDepth);
            EXPECT_TRUE(outcome.kind == typeid(EPNGInvalidBitDepth));
        }
    }
}

const TSampleFile& Small()
{
    static const TSampleFile file(6, 4, 8, 2, 9);
    return file;
}

TBytes WithoutLast(const TBytes& bytes, size_t count)
{
    return TBytes(bytes.begin(), bytes.end() - static_cast<std::ptrdiff_t>(count));
}

class ImageDataFailure : public ::testing::TestWithParam<TFailure> {};

TEST_P(ImageDataFailure, RaisesTheKindWithItsMessage)
{
    ExpectFailure(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImageDataFailure,
    ::testing::Values(
        TFailure{"EndBeforeImageComplete",
                 [] {
                     const TBytes& s = Small().stream;
                     return Small().Start().IDAT(TBytes(s.begin(), s.begin() + 20)).IEND().Bytes();
                 },
                 typeid(EPNGMissingMultipleIDAT)},
        TFailure{"OtherChunkInsideTheRun",
                 [] {
                     const TBytes& s = Small().stream;
                     return Small().Start()
                         .Chunk("IDAT", TBytes(s.begin(), s.begin() + 20))
                         .Chunk("tEXt", {'a', 0, 'b'})
                         .Chunk("IDAT", TBytes(s.begin() + 20, s.end()))
                         .IEND()
                         .Bytes();
                 }, typeid(EPNGMissingMultipleIDAT)},
        TFailure{"ZlibStreamEndsEarly",
                 [] { return Small().Start().IDAT(ZlibCompress(TBytes(30, 0))).IEND().Bytes(); },
                 typeid(EPNGMissingMultipleIDAT)},
        // Ends after a whole IDAT chunk while rows are missing: no next chunk.
        TFailure{"FileEndsAfterAnIDATChunk",
                 [] {
                     const TBytes& s = Small().stream;
                     return Small().Start().Chunk("IDAT", TBytes(s.begin(), s.begin() + 20)).Bytes();
                 },
                 typeid(EPNGMissingMultipleIDAT)},
        // Block type 3 is reserved.
        TFailure{"InvalidBlockType", [] { return Small().Start().IDAT({0x78, 0x9C, 0x07, 0x00}).IEND().Bytes(); },
                 typeid(EPNGZLIBError), std::string(kZlibPrefix) + "data error (-3)"},
        TFailure{"WrongCheckValueInOneChunk",
                 [] {
                     const TBytes& s = Small().stream;
                     return Small().Start().IDAT(WithByte(s, s.size() - 1, 0)).IEND().Bytes();
                 },
                 typeid(EPNGZLIBError), std::string(kZlibPrefix) + "data error (-3)"},
        TFailure{"PresetDictionary",
                 [] { return Small().Start().IDAT({0x78, 0xBB, 0, 0, 0, 1, 1, 2, 3}).IEND().Bytes(); },
                 typeid(EPNGZLIBError), std::string(kZlibPrefix) + "need dictionary (2)"},
        TFailure{"WrongHeaderCheck", [] { return Small().Start().IDAT({0x78, 0x9D, 1, 2}).IEND().Bytes(); },
                 typeid(EPNGZLIBError), std::string(kZlibPrefix) + "data error (-3)"},
        TFailure{"LastIDATBadCrc",
                 [] { return Small().Start().ChunkWithCrc("IDAT", Small().stream, 1).IEND().Bytes(); },
                 typeid(EPngInvalidCRC)},
        TFailure{"MiddleIDATBadCrc",
                 [] {
                     const TBytes& s = Small().stream;
                     return Small().Start()
                         .ChunkWithCrc("IDAT", TBytes(s.begin(), s.begin() + 10), 1)
                         .Chunk("IDAT", TBytes(s.begin() + 10, s.end()))
                         .IEND()
                         .Bytes();
                 }, typeid(EPngInvalidCRC)},
        // The file ends inside the image data: decoding stops, the CRC fails.
        TFailure{"FileEndsInsideTheData",
                 [] { return WithoutLast(Small().Start().IDAT(Small().stream).Bytes(), 14); }, typeid(EPngInvalidCRC)},
        TFailure{"IDATLengthBeyondTheFile",
                 [] { return Small().Start().ChunkWithLength("IDAT", 0x10000000, Small().stream).IEND().Bytes(); },
                 typeid(EPngInvalidCRC)},
        TFailure{"IDATLengthOf2To31",
                 [] { return Small().Start().ChunkWithLength("IDAT", 0x80000000, Small().stream).IEND().Bytes(); },
                 typeid(EPngInvalidCRC)},
        TFailure{"NextIDATLengthOf2To31",
                 [] {
                     const TBytes& s = Small().stream;
                     return Small().Start()
                         .Chunk("IDAT", TBytes(s.begin(), s.begin() + 10))
                         .ChunkWithLength("IDAT", 0xFFFFFFFF, TBytes(s.begin() + 10, s.end()))
                         .IEND()
                         .Bytes();
                 }, typeid(EPngInvalidCRC)}),
    FailureName);

TEST(ImageData, EveryZlibResultHasItsText)
{
    const std::pair<int, const char*> texts[] = {
        {-6, "incompatible version (-6)"}, {-5, "buffer error (-5)"}, {-4, "insufficient memory (-4)"},
        {-3, "data error (-3)"},           {-2, "stream error (-2)"}, {-1, "file error (-1)"},
        {0, "(0)"},                        {1, "stream end (1)"},     {2, "need dictionary (2)"},
    };
    for (const auto& [code, text] : texts)
        EXPECT_EQ(ZLibErrorText(code), kZlibPrefix + std::string(text));
}

TEST(ImageData, CheckValueBeyondTheLastRowIsNotExamined)
{
    const TBytes bad = WithByte(Small().stream, Small().stream.size() - 1, 0);
    TPngImage image;
    LoadBytes(image, Small().Start().IDAT(bad, {bad.size() - 4}).IEND().Bytes());
    EXPECT_EQ(CompareWithSamples(image, Small().samples), "");
}

TEST(ImageData, LaterIDATRunIsSkippedUnchecked)
{
    TPngImage image;
    LoadBytes(image, Small().Start()
                         .IDAT(Small().stream)
                         .Chunk("tEXt", {'a', 0, 'b'})
                         .ChunkWithCrc("IDAT", {1, 2, 3}, 0)
                         .ChunkWithCrc("IDAT", {}, 0)
                         .IEND()
                         .Bytes());
    EXPECT_EQ(CompareWithSamples(image, Small().samples), "");
    EXPECT_EQ(image.ChunkList().Count(), 4);
}

TEST(ImageData, LargeSingleChunkWithDataAfterTheStream)
{
    const TSampleImage samples = TSampleImage::Random(400, 300, 8, 6, 4);
    TBytes stream = ZlibCompress(FilteredScanlines(samples, false), 1);
    ASSERT_GT(stream.size(), 300000u);
    stream.insert(stream.end(), 5000, 0xAB);
    TPngImage image;
    LoadBytes(image, FileWithStream(samples, false, stream));
    EXPECT_EQ(CompareWithSamples(image, samples), "");
    // The trailing bytes are still covered by the chunk's CRC.
    const TBytes file = FileWithStream(samples, false, stream);
    EXPECT_TRUE(LoadOutcome(WithByte(file, file.size() - 12 - 4 - 100, 0)).kind == typeid(EPngInvalidCRC));
}

TEST(ImageData, FilterTypeFiveIsTakenAsItStands)
{
    TPngImage image;
    LoadBytes(image, TPngWriter().Signature().IHDR(3, 1, 8, 0).IDAT(ZlibCompress({5, 10, 20, 30})).IEND().Bytes());
    EXPECT_EQ(image.Scanline(0)[0], 10);
    EXPECT_EQ(image.Scanline(0)[2], 30);
}

TEST(ImageData, OneByOneAdam7HasOneRowInPassOne)
{
    TPngImage image;
    LoadBytes(image, TPngWriter().Signature().IHDR(1, 1, 8, 0, 1).IDAT(ZlibCompress({0, 77})).IEND().Bytes());
    EXPECT_EQ(image.Scanline(0)[0], 77);
}

TEST(ImageData, FirstRowOfAnAdam7PassSeesZerosAbove)
{
    // 8 x 1: pass 1 holds pixel 0, pass 2 pixel 4, pass 4 pixels 2, 6,
    // pass 6 pixels 1, 3, 5, 7. Every row uses Up.
    TPngImage image;
    LoadBytes(image, TPngWriter()
                         .Signature()
                         .IHDR(8, 1, 8, 0, 1)
                         .IDAT(ZlibCompress({2, 10, 2, 14, 2, 12, 16, 2, 11, 13, 15, 17}))
                         .IEND()
                         .Bytes());
    const uint8_t* row = image.Scanline(0);
    EXPECT_EQ(TBytes(row, row + 8), (TBytes{10, 11, 12, 13, 14, 15, 16, 17}));
}

TEST(ImageData, SixteenBitRGBKeepsHighBytesAndLowBytesApart)
{
    // Samples 0x12FF, 0x8000, 0x00FF as red, green, blue.
    TPngImage image;
    LoadBytes(image, TPngWriter()
                         .Signature()
                         .IHDR(1, 1, 16, 2)
                         .IDAT(ZlibCompress({0, 0x12, 0xFF, 0x80, 0x00, 0x00, 0xFF}))
                         .IEND()
                         .Bytes());
    EXPECT_EQ(TBytes(image.Scanline(0), image.Scanline(0) + 3), (TBytes{0x00, 0x80, 0x12}));
    EXPECT_EQ(TBytes(image.ExtraScanline(0), image.ExtraScanline(0) + 3), (TBytes{0xFF, 0x00, 0xFF}));
}

TEST(ImageData, TwoBitGreyBecomesNibblesOfFiveTimesTheSample)
{
    // Samples 3, 0, 1, 2 in one byte: 11 00 01 10.
    TPngImage image;
    LoadBytes(image, TPngWriter().Signature().IHDR(4, 1, 2, 0).IDAT(ZlibCompress({0, 0b11000110})).IEND().Bytes());
    EXPECT_EQ(image.Scanline(0)[0], 0xF0);
    EXPECT_EQ(image.Scanline(0)[1], 0x5A);
}

TEST(ImageData, BitsAfterTheLastPixelReachThePaddingOfPlainRowsOnly)
{
    // 3 x 1 at 1 bit: pixels 1, 0, 1 and five trailing bits set in the file.
    for (bool adam7 : {false, true}) {
        // Adam7: pass 1 pixel 0, pass 4 pixel 2, pass 6 pixel 1.
        const TBytes stream = adam7 ? TBytes{0, 0xFF, 0, 0xFF, 0, 0x7F} : TBytes{0, 0b10111111};
        TPngImage image;
        LoadBytes(image, TPngWriter().Signature().IHDR(3, 1, 1, 3, adam7).IDAT(ZlibCompress(stream)).IEND().Bytes());
        EXPECT_EQ(image.Scanline(0)[0], adam7 ? 0b10100000 : 0b10111111);
        EXPECT_EQ(image.Scanline(0)[1], 0);
    }
}

TEST(ImageData, GammaAfterTheImageDataChangesNoStoredValue)
{
    const TSampleImage samples = TSampleImage::Random(4, 4, 8, 2, 2);
    const TBytes stream = ZlibCompress(FilteredScanlines(samples, false));
    TPngImage before, after;
    LoadBytes(before, TPngWriter().Signature().IHDR(4, 4, 8, 2).Chunk("gAMA", BigEndianBytes(100000)).IDAT(stream).IEND().Bytes());
    LoadBytes(after, TPngWriter().Signature().IHDR(4, 4, 8, 2).IDAT(stream).Chunk("gAMA", BigEndianBytes(100000)).IEND().Bytes());
    EXPECT_EQ(before.Scanline(0)[0], before.GammaTable[samples.Sample(0, 0, 2)]);
    EXPECT_EQ(after.Scanline(0)[0], samples.Sample(0, 0, 2));
}

TEST(ImageData, GammaIsAppliedToColourAndNotToGreyOrAlpha)
{
    for (uint8_t colorType : {0, 2, 4, 6}) {
        for (uint8_t depth : {8, 16}) {
            const TSampleImage samples = TSampleImage::Random(5, 3, depth, colorType, colorType + depth);
            TPngImage image;
            LoadBytes(image, TPngWriter()
                                 .Signature()
                                 .IHDR(5, 3, depth, colorType)
                                 .Chunk("gAMA", BigEndianBytes(50000))
                                 .IDAT(ZlibCompress(FilteredScanlines(samples, false)))
                                 .IEND()
                                 .Bytes());
            ASSERT_EQ(image.GammaTable[128], 136);
            EXPECT_EQ(CompareWithSamples(image, samples), "") << int(colorType) << "/" << int(depth);
        }
    }
}

TEST(ImageData, RowsAreBottomUpAndPaddedWithZeros)
{
    const TSampleImage samples = TSampleImage::Random(5, 3, 8, 2, 8);
    TPngImage image;
    LoadBytes(image, EncodePng(samples, true));
    const TChunkIHDR& header = image.Header();
    ASSERT_EQ(header.BytesPerRow, 16u);
    for (uint32_t y = 0; y < 3; ++y) {
        EXPECT_EQ(image.Scanline(y), header.ImageData() + (2 - y) * 16);
        EXPECT_EQ(image.Scanline(y)[15], 0);
    }
}

} // namespace
} // namespace pix
