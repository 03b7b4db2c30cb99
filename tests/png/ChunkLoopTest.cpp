// The chunk loop: signature, CRCs, chunk classes, header checks and the
// failures of the file structure.

#include "png/PngErrors.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"

#include <gtest/gtest.h>

namespace pix {
namespace {

using namespace testing;

// A 3 x 2 8-bit grey image: its samples and its compressed image data.
const TSampleImage& Grey()
{
    static const TSampleImage image = TSampleImage::Random(3, 2, 8, 0, 1);
    return image;
}

const TBytes& GreyStream()
{
    static const TBytes stream = ZlibCompress(FilteredScanlines(Grey(), false));
    return stream;
}

TPngWriter GreyStart()
{
    return TPngWriter().Signature().IHDR(3, 2, 8, 0);
}

TBytes WithHeader(const TBytes& ihdr)
{
    return TPngWriter().Signature().Chunk("IHDR", ihdr).IDAT(GreyStream()).IEND().Bytes();
}

TBytes Cut(TBytes file, size_t size)
{
    file.resize(size);
    return file;
}

constexpr char kInvalidFileHeader[] =
    "The file being read is not a valid \"Portable Network Graphics\" image because it contains an invalid header. "
    "This file may be corrupted, try obtaining it again";
constexpr char kUnexpectedEnd[] =
    "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end of the file.";
constexpr char kIHDRNotFirst[] =
    "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n(IHDR chunk is not the first)";
constexpr char kUnknownCritical[] =
    "This \"Portable Network Graphics\" image contains an unknown critical part which could not be decoded.";
constexpr char kInvalidCRC[] =
    "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of data (crc error)";
constexpr char kInvalidIHDR[] = "The \"Portable Network Graphics\" image could not be loaded because one of its main "
                                "piece of data (ihdr) might be corrupted";
constexpr char kSizeExceeds[] = "This \"Portable Network Graphics\" image is not supported because either its width "
                                "or height exceeds the maximum size of 65535 pixels.";
constexpr char kUnknownCompression[] = "This \"Portable Network Graphics\" image is encoded with an unknown "
                                       "compression scheme which could not be decoded.";
constexpr char kUnknownInterlace[] =
    "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be decoded.";
constexpr char kUnknownColorType[] =
    "This \"Portable Network Graphics\" image uses an unknown color type which could not be decoded.";
constexpr char kInvalidBitDepth[] =
    "The \"Portable Network Graphics\" image could not be loaded because it uses an invalid image bit depth.";
constexpr char kInvalidPalette[] = "The \"Portable Network Graphics\" image contains an invalid palette.";
constexpr char kNoImageData[] = "This \"Portable Network Graphics\" image contains no data.";

class ChunkLoopFailure : public ::testing::TestWithParam<TFailure> {};

TEST_P(ChunkLoopFailure, RaisesTheKindWithItsMessage)
{
    ExpectFailure(GetParam());
}

const TBytes& ValidGrey()
{
    static const TBytes file = GreyStart().IDAT(GreyStream()).IEND().Bytes();
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ChunkLoopFailure,
    ::testing::Values(
        TFailure{"Empty", [] { return TBytes{}; }, typeid(EPNGInvalidFileHeader), kInvalidFileHeader},
        TFailure{"SevenBytes", [] { return Cut(ValidGrey(), 7); }, typeid(EPNGInvalidFileHeader), kInvalidFileHeader},
        TFailure{"FirstByteNot137", [] { return WithByte(ValidGrey(), 0, 138); }, typeid(EPNGInvalidFileHeader),
                 kInvalidFileHeader},
        TFailure{"NoIEND", [] { return GreyStart().IDAT(GreyStream()).Bytes(); }, typeid(EPngUnexpectedEnd),
                 kUnexpectedEnd},
        TFailure{"EndsInsideLength", [] { return Cut(ValidGrey(), ValidGrey().size() - 10); },
                 typeid(EPngUnexpectedEnd), kUnexpectedEnd},
        TFailure{"EndsInsideType", [] { return Cut(ValidGrey(), ValidGrey().size() - 6); }, typeid(EPngUnexpectedEnd),
                 kUnexpectedEnd},
        TFailure{"OnlyHeaderAndEnd", [] { return GreyStart().IEND().Bytes(); }, typeid(EPNGNoImageData), kNoImageData},
        TFailure{"TextFirst",
                 [] { return TPngWriter().Signature().Chunk("tEXt", {'a', 0, 'b'}).IHDR(3, 2, 8, 0).Bytes(); },
                 typeid(EPNGIHDRNotFirst), kIHDRNotFirst},
        // The type is judged before the data is read, so the bad CRC is never seen.
        TFailure{"UnknownCriticalBadCrc",
                 [] { return GreyStart().ChunkWithCrc("ABCD", {1, 2}, 0).IDAT(GreyStream()).IEND().Bytes(); },
                 typeid(EPNGUnknownCriticalChunk), kUnknownCritical},
        TFailure{"TypeCutAtZeroIsNotIEND",
                 [] { return GreyStart().IDAT(GreyStream()).Chunk(std::string_view("IEN\0", 4), {}).Bytes(); },
                 typeid(EPNGUnknownCriticalChunk), kUnknownCritical},
        TFailure{"UnknownAncillaryBadCrc",
                 [] { return GreyStart().ChunkWithCrc("abCd", {1, 2}, 0).IDAT(GreyStream()).IEND().Bytes(); },
                 typeid(EPngInvalidCRC), kInvalidCRC},
        TFailure{"HeaderBadCrc", [] { return WithByte(ValidGrey(), 29, 0); }, typeid(EPngInvalidCRC), kInvalidCRC},
        TFailure{"EndBadCrc", [] { return WithByte(ValidGrey(), ValidGrey().size() - 1, 0); }, typeid(EPngInvalidCRC),
                 kInvalidCRC},
        TFailure{"Header12Bytes", [] { return WithHeader(Cut(IHDRData(3, 2, 8, 0), 12)); }, typeid(EPngInvalidIHDR),
                 kInvalidIHDR},
        TFailure{"Width65536", [] { return WithHeader(IHDRData(65536, 2, 8, 0)); }, typeid(EPNGSizeExceeds),
                 kSizeExceeds},
        TFailure{"HeightAbove2To31", [] { return WithHeader(IHDRData(3, 0x80000000, 8, 0)); }, typeid(EPNGSizeExceeds),
                 kSizeExceeds},
        TFailure{"WidthZero", [] { return WithHeader(IHDRData(0, 2, 8, 0)); }, typeid(EPngInvalidIHDR), kInvalidIHDR},
        TFailure{"HeightZero", [] { return WithHeader(IHDRData(3, 0, 8, 0)); }, typeid(EPngInvalidIHDR), kInvalidIHDR},
        TFailure{"CompressionOne", [] { return WithHeader(IHDRData(3, 2, 8, 0, 1)); }, typeid(EPNGUnknownCompression),
                 kUnknownCompression},
        TFailure{"InterlaceTwo", [] { return WithHeader(IHDRData(3, 2, 8, 0, 0, 0, 2)); },
                 typeid(EPNGUnknownInterlace), kUnknownInterlace},
        TFailure{"ColorTypeOne", [] { return WithHeader(IHDRData(3, 2, 8, 1)); }, typeid(EPNGUnknownColorType),
                 kUnknownColorType},
        TFailure{"ColorTypeFive", [] { return WithHeader(IHDRData(3, 2, 8, 5)); }, typeid(EPNGUnknownColorType),
                 kUnknownColorType},
        TFailure{"ColorTypeSeven", [] { return WithHeader(IHDRData(3, 2, 8, 7)); }, typeid(EPNGUnknownColorType),
                 kUnknownColorType},
        TFailure{"BitDepthZero", [] { return WithHeader(IHDRData(3, 2, 0, 0)); }, typeid(EPNGInvalidBitDepth),
                 kInvalidBitDepth},
        TFailure{"Palette771Bytes",
                 [] { return GreyStart().Chunk("PLTE", TBytes(771)).IDAT(GreyStream()).IEND().Bytes(); },
                 typeid(EPNGInvalidPalette), kInvalidPalette},
        TFailure{"PaletteNotTriples",
                 [] { return GreyStart().Chunk("PLTE", TBytes(4)).IDAT(GreyStream()).IEND().Bytes(); },
                 typeid(EPNGInvalidPalette), kInvalidPalette},
        TFailure{"Transparency257Bytes",
                 [] { return GreyStart().Chunk("tRNS", TBytes(257)).IDAT(GreyStream()).IEND().Bytes(); },
                 typeid(EPNGInvalidPalette), kInvalidPalette},
        // Hostile lengths: nothing is allocated from them.
        TFailure{"LoadedChunkLongerThanFile",
                 [] { return GreyStart().ChunkWithLength("tEXt", 0x7FFFFFF0, {'a', 0, 'b'}).Bytes(); },
                 typeid(EPngInvalidCRC), kInvalidCRC},
        TFailure{"CrcCutOff", [] { return Cut(GreyStart().Chunk("tEXt", {'a', 0, 'b'}).Bytes(), 33 + 12 + 1); },
                 typeid(EPngInvalidCRC), kInvalidCRC},
        TFailure{"LengthOf2To31",
                 [] { return GreyStart().ChunkWithLength("tEXt", 0x80000000, {'a', 0, 'b'}).Bytes(); },
                 typeid(EPngInvalidCRC), kInvalidCRC},
        TFailure{"SkippedLengthOf2To31",
                 [] { return GreyStart().ChunkWithLength("cHRM", 0xFFFFFFFF, {}).IDAT(GreyStream()).IEND().Bytes(); },
                 typeid(EPngInvalidCRC), kInvalidCRC},
        // A skipped chunk is sought past; the next length then finds no byte.
        TFailure{"SkippedChunkLongerThanFile",
                 [] { return GreyStart().IDAT(GreyStream()).ChunkWithLength("cHRM", 1000, {}).IEND().Bytes(); },
                 typeid(EPngUnexpectedEnd), kUnexpectedEnd}),
    FailureName);

TEST(ChunkLoop, LoadsAValidFileIntoTheChunkList)
{
    TPngImage image;
    LoadBytes(image, ValidGrey());
    ASSERT_EQ(image.ChunkList().Count(), 3);
    EXPECT_NE(dynamic_cast<TChunkIHDR*>(image.ChunkList().GetItem(0)), nullptr);
    EXPECT_NE(dynamic_cast<TChunkIDAT*>(image.ChunkList().GetItem(1)), nullptr);
    EXPECT_NE(dynamic_cast<TChunkIEND*>(image.ChunkList().GetItem(2)), nullptr);
    EXPECT_EQ(image.ChunkList().GetItem(3), nullptr);
    EXPECT_EQ(image.ChunkList().GetItem(-1), nullptr);
    EXPECT_EQ(image.ChunkList().GetItem(2)->Index(), 2);
    EXPECT_EQ(image.Width(), 3u);
    EXPECT_EQ(image.Height(), 2u);
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(CompareWithSamples(image, Grey()), "");
}

TEST(ChunkLoop, NothingAfterIENDIsRead)
{
    TBytes file = ValidGrey();
    file.insert(file.end(), {0xFF, 0xFF, 0xFF});
    EXPECT_FALSE(LoadOutcome(file).kind.has_value());
}

TEST(ChunkLoop, ListKeepsTheChunksBeforeAFailure)
{
    TPngImage image;
    LoadOutcome(image, GreyStart().IDAT(GreyStream()).Bytes());
    EXPECT_EQ(image.ChunkList().Count(), 2); // IHDR and IDAT; no chunk for the missing one

    LoadOutcome(image, GreyStart().IDAT(GreyStream()).ChunkWithCrc("teXt", {1}, 0).Bytes());
    EXPECT_EQ(image.ChunkList().Count(), 3); // the failing chunk is kept

    LoadOutcome(image, TPngWriter().Signature().Chunk("tEXt", {'a', 0, 'b'}).Bytes());
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.Width(), 0u);
    EXPECT_THROW(image.Header(), EPNGHeaderNotPresent);
}

TEST(ChunkLoop, HeaderOfAnEmptyImageFails)
{
    TPngImage image;
    try {
        image.Header();
        FAIL();
    } catch (const EPNGHeaderNotPresent& e) {
        EXPECT_STREQ(e.what(), "This operation is not valid because the current image contains no valid header.");
    }
    EXPECT_THROW(image.TransparencyMode(), EPNGHeaderNotPresent);
    EXPECT_EQ(image.Height(), 0u);
}

TEST(ChunkLoop, ChrmIsSkippedUncheckedAndNotListed)
{
    TPngImage image;
    LoadBytes(image, GreyStart().ChunkWithCrc("cHRM", TBytes(32, 7), 0).IDAT(GreyStream()).IEND().Bytes());
    EXPECT_EQ(image.ChunkList().Count(), 3);
}

TEST(ChunkLoop, UnknownAncillaryChunksAreKeptWithTheirData)
{
    TPngImage image;
    const TBytes file = GreyStart().Chunk("abCd", {1, 2, 3}).Chunk(std::string_view("\0xyz", 4), {9}).IDAT(GreyStream()).IEND().Bytes();
    LoadBytes(image, file);
    ASSERT_EQ(image.ChunkList().Count(), 5);
    const TChunk* unknown = image.ChunkList().GetItem(1);
    EXPECT_EQ(typeid(*unknown), typeid(TChunk));
    EXPECT_EQ(unknown->DataSize(), 3u);
    EXPECT_EQ(unknown->Data()[2], 3);
    EXPECT_EQ(unknown->Data()[3], 0); // the extra byte after the data
    // A type starting with a zero byte matches nothing and is not critical.
    const TChunk* unnamed = image.ChunkList().GetItem(2);
    EXPECT_EQ(typeid(*unnamed), typeid(TChunk));
    EXPECT_EQ(ChunkTypeText(unnamed->Name()), "");
}

TEST(ChunkLoop, TypesAreMatchedExactlyAndCaseSensitively)
{
    TPngImage image;
    LoadBytes(image, GreyStart().Chunk("text", {'k', 0, 'v'}).Chunk("tEXt", {'k', 0, 'v'}).IDAT(GreyStream()).IEND().Bytes());
    const TChunk* lowerCase = image.ChunkList().GetItem(1);
    const TChunk* text = image.ChunkList().GetItem(2);
    EXPECT_EQ(typeid(*lowerCase), typeid(TChunk));
    EXPECT_EQ(typeid(*text), typeid(TChunktEXt));
}

TEST(ChunkLoop, EachRegisteredTypeGetsItsClass)
{
    const TBytes zText = [] {
        TBytes data = {'k', 0, 0};
        const TBytes compressed = ZlibCompress({'h', 'i'});
        data.insert(data.end(), compressed.begin(), compressed.end());
        return data;
    }();
    TPngImage image;
    LoadBytes(image, GreyStart()
                         .Chunk("gAMA", BigEndianBytes(45455))
                         .Chunk("PLTE", {1, 2, 3})
                         .Chunk("tRNS", {0, 0})
                         .Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x14, 1})
                         .Chunk("tIME", {0x07, 0xE3, 12, 31, 23, 59, 60})
                         .Chunk("tEXt", {'T', 'i', 't', 'l', 'e', 0, 'c', 'a', 't'})
                         .Chunk("zTXt", zText)
                         .IDAT(GreyStream())
                         .IEND()
                         .Bytes());
    const TPNGList& list = image.ChunkList();
    ASSERT_EQ(list.Count(), 10);
    EXPECT_EQ(list.FindChunk<TChunkgAMA>()->Gamma(), 45455u);
    EXPECT_EQ(list.FindChunk<TChunkPLTE>()->Count(), 1);
    EXPECT_EQ(list.FindChunk<TChunktRNS>()->Index(), 3);
    const TChunkpHYs* phys = list.FindChunk<TChunkpHYs>();
    EXPECT_EQ(phys->fPPUnitX, 2835u);
    EXPECT_EQ(phys->fPPUnitY, 2836u);
    EXPECT_EQ(phys->fUnit, utMeter);
    const TChunktIME* time = list.FindChunk<TChunktIME>();
    EXPECT_EQ(time->fYear, 2019);
    EXPECT_EQ(time->fMonth, 12);
    EXPECT_EQ(time->fSecond, 60);
    // zTXt descends from tEXt: the first text chunk of either class.
    EXPECT_EQ(list.FindChunk<TChunktEXt>()->fText, "cat");
    EXPECT_EQ(list.FindChunk<TChunktEXt>()->fKeyword, "Title");
    const TChunkzTXt* z = list.FindChunk<TChunkzTXt>();
    EXPECT_EQ(z->fKeyword, "k");
    EXPECT_EQ(z->fText, "hi");
    EXPECT_NE(list.FindChunk<TChunkIEND>(), nullptr);
}

TEST(ChunkLoop, AncillaryChunksOfOtherSizesKeepTheirDefaults)
{
    TPngImage image;
    LoadBytes(image, GreyStart()
                         .Chunk("pHYs", {1, 2, 3})
                         .Chunk("tIME", {1, 2, 3, 4, 5, 6, 7, 8})
                         .Chunk("tEXt", {'a', 'b'})
                         .Chunk("zTXt", {'k', 0, 0, 1, 2, 3}) // not a zlib stream
                         .IDAT(GreyStream())
                         .IEND()
                         .Bytes());
    const TPNGList& list = image.ChunkList();
    EXPECT_EQ(list.FindChunk<TChunkpHYs>()->fPPUnitX, 0u);
    EXPECT_EQ(list.FindChunk<TChunktIME>()->fYear, 0);
    EXPECT_EQ(list.FindChunk<TChunktEXt>()->fKeyword, "");
    EXPECT_EQ(list.FindChunk<TChunkzTXt>()->fKeyword, "k");
    EXPECT_EQ(list.FindChunk<TChunkzTXt>()->fText, "");
}

TEST(ChunkLoop, TextWithoutZeroByteIsAllKeyword)
{
    TPngImage image;
    LoadBytes(image, GreyStart().Chunk("tEXt", {'a', 'b', 'c'}).IDAT(GreyStream()).IEND().Bytes());
    EXPECT_EQ(image.ChunkList().FindChunk<TChunktEXt>()->fKeyword, "abc");
    EXPECT_EQ(image.ChunkList().FindChunk<TChunktEXt>()->fText, "");
}

// A few kilobytes that would inflate to 64 MiB count as failed inflation.
TEST(ChunkLoop, CompressedTextBombIsNotInflated)
{
    TBytes data = {'k', 0, 0};
    const TBytes bomb = ZlibCompress(TBytes(64u << 20, 'x'), 9);
    data.insert(data.end(), bomb.begin(), bomb.end());
    TPngImage image;
    LoadBytes(image, GreyStart().Chunk("zTXt", data).IDAT(GreyStream()).IEND().Bytes());
    EXPECT_EQ(image.ChunkList().FindChunk<TChunkzTXt>()->fText, "");
}

TEST(ChunkLoop, HeaderVariantsThatLoad)
{
    for (const TBytes& ihdr : {IHDRData(3, 2, 8, 0, 0, 1), // filter method 1 is not checked
                               [] { TBytes d = IHDRData(3, 2, 8, 0); d.push_back(0); return d; }()}) {
        TPngImage image;
        LoadBytes(image, WithHeader(ihdr));
        EXPECT_EQ(CompareWithSamples(image, Grey()), "");
    }
}

TEST(ChunkLoop, Width65535PassesTheHeaderCheck)
{
    const TSampleImage wide = TSampleImage::Random(65535, 1, 8, 0, 3);
    TPngImage image;
    LoadBytes(image, EncodePng(wide, false));
    EXPECT_EQ(CompareWithSamples(image, wide), "");
}

TEST(ChunkLoop, SecondHeaderReplacesTheInterlaceMethodOnly)
{
    TPngImage image;
    LoadBytes(image, GreyStart().IDAT(GreyStream()).IHDR(5, 5, 8, 0, 1).IEND().Bytes());
    EXPECT_EQ(image.fInterlaceMethod, imAdam7);
    EXPECT_EQ(&image.Header(), image.ChunkList().GetItem(0));
    EXPECT_EQ(image.Width(), 3u);
}

TEST(ChunkLoop, ListRemovesAndAddsChunks)
{
    TPngImage owner;
    TPNGList list;
    TChunk* first = list.Add(std::make_unique<TChunk>(owner, TChunkName{'a', 'b', 'c', 'd'}));
    TChunk* second = list.Add(std::make_unique<TChunkIDAT>(owner, TChunkName{'I', 'D', 'A', 'T'}));
    EXPECT_EQ(list.IndexOf(second), 1);
    EXPECT_EQ(list.FindChunk<TChunkIDAT>(), second);
    list.RemoveChunk(first);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.IndexOf(second), 0);
    list.RemoveChunk(second);
    EXPECT_EQ(list.FindChunk<TChunkIDAT>(), nullptr);
    EXPECT_EQ(list.GetItem(0), nullptr);
    EXPECT_THROW(owner.Header(), EPNGHeaderNotPresent);
    EXPECT_EQ(owner.Width(), 0u);
}

TEST(ChunkLoop, AnImageCanBeLoadedAgain)
{
    TPngImage image;
    LoadBytes(image, GreyStart().Chunk("gAMA", BigEndianBytes(100000)).IDAT(GreyStream()).IEND().Bytes());
    LoadBytes(image, ValidGrey());
    EXPECT_EQ(image.ChunkList().Count(), 3);
    EXPECT_EQ(image.GammaTable[128], 128);
    EXPECT_EQ(image.InverseGamma[186], 186);
}

} // namespace
} // namespace pix
