// The chunk loop: signature, CRCs, chunk classes, header checks and the
// failures of the file structure.

#include "png/PngErrors.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"

#include <gtest/gtest.h>

namespace pix {
namespace {

using namespace testing;

// A 3 x 2 8-bit grey image.
const TSampleFile& Grey()
{
    static const TSampleFile file(3, 2, 8, 0, 1);
    return file;
}

TBytes WithHeader(const TBytes& ihdr)
{
    return TPngWriter().Signature().Chunk("IHDR", ihdr).IDAT(Grey().stream).IEND().Bytes();
}

TBytes Cut(TBytes file, size_t size)
{
    file.resize(size);
    return file;
}

class ChunkLoopFailure : public ::testing::TestWithParam<TFailure> {};

TEST_P(ChunkLoopFailure, RaisesTheKindWithItsMessage)
{
    ExpectFailure(GetParam());
}

const TBytes& ValidGrey()
{
    static const TBytes file = Grey().Start().IDAT(Grey().stream).IEND().Bytes();
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ChunkLoopFailure,
    ::testing::Values(
        TFailure{"Empty", [] { return TBytes{}; }, typeid(EPNGInvalidFileHeader)},
        TFailure{"SevenBytes", [] { return Cut(ValidGrey(), 7); }, typeid(EPNGInvalidFileHeader)},
        TFailure{"FirstByteNot137", [] { return WithByte(ValidGrey(), 0, 138); }, typeid(EPNGInvalidFileHeader)},
        TFailure{"NoIEND", [] { return Grey().Start().IDAT(Grey().stream).Bytes(); }, typeid(EPngUnexpectedEnd)},
        TFailure{"EndsInsideLength", [] { return Cut(ValidGrey(), ValidGrey().size() - 10); },
                 typeid(EPngUnexpectedEnd)},
        TFailure{"EndsInsideType", [] { return Cut(ValidGrey(), ValidGrey().size() - 6); }, typeid(EPngUnexpectedEnd)},
        TFailure{"OnlyHeaderAndEnd", [] { return Grey().Start().IEND().Bytes(); }, typeid(EPNGNoImageData)},
        TFailure{"TextFirst",
                 [] { return TPngWriter().Signature().Chunk("tEXt", {'a', 0, 'b'}).IHDR(3, 2, 8, 0).Bytes(); },
                 typeid(EPNGIHDRNotFirst)},
        // The type is judged before the data is read, so the bad CRC is never seen.
        TFailure{"UnknownCriticalBadCrc",
                 [] { return Grey().Start().ChunkWithCrc("ABCD", {1, 2}, 0).IDAT(Grey().stream).IEND().Bytes(); },
                 typeid(EPNGUnknownCriticalChunk)},
        TFailure{"TypeCutAtZeroIsNotIEND",
                 [] { return Grey().Start().IDAT(Grey().stream).Chunk(std::string_view("IEN\0", 4), {}).Bytes(); },
                 typeid(EPNGUnknownCriticalChunk)},
        TFailure{"UnknownAncillaryBadCrc",
                 [] { return Grey().Start().ChunkWithCrc("abCd", {1, 2}, 0).IDAT(Grey().stream).IEND().Bytes(); },
                 typeid(EPngInvalidCRC)},
        TFailure{"HeaderBadCrc", [] { return WithByte(ValidGrey(), 29, 0); }, typeid(EPngInvalidCRC)},
        TFailure{"EndBadCrc", [] { return WithByte(ValidGrey(), ValidGrey().size() - 1, 0); }, typeid(EPngInvalidCRC)},
        TFailure{"Header12Bytes", [] { return WithHeader(Cut(IHDRData(3, 2, 8, 0), 12)); }, typeid(EPngInvalidIHDR)},
        TFailure{"Width65536", [] { return WithHeader(IHDRData(65536, 2, 8, 0)); }, typeid(EPNGSizeExceeds)},
        TFailure{"HeightAbove2To31", [] { return WithHeader(IHDRData(3, 0x80000000, 8, 0)); }, typeid(EPNGSizeExceeds)},
        TFailure{"WidthZero", [] { return WithHeader(IHDRData(0, 2, 8, 0)); }, typeid(EPngInvalidIHDR)},
        TFailure{"HeightZero", [] { return WithHeader(IHDRData(3, 0, 8, 0)); }, typeid(EPngInvalidIHDR)},
        TFailure{"CompressionOne", [] { return WithHeader(IHDRData(3, 2, 8, 0, 1)); }, typeid(EPNGUnknownCompression)},
        TFailure{"InterlaceTwo", [] { return WithHeader(IHDRData(3, 2, 8, 0, 0, 0, 2)); },
                 typeid(EPNGUnknownInterlace)},
        TFailure{"ColorTypeOne", [] { return WithHeader(IHDRData(3, 2, 8, 1)); }, typeid(EPNGUnknownColorType)},
        TFailure{"ColorTypeFive", [] { return WithHeader(IHDRData(3, 2, 8, 5)); }, typeid(EPNGUnknownColorType)},
        TFailure{"ColorTypeSeven", [] { return WithHeader(IHDRData(3, 2, 8, 7)); }, typeid(EPNGUnknownColorType)},
        TFailure{"BitDepthZero", [] { return WithHeader(IHDRData(3, 2, 0, 0)); }, typeid(EPNGInvalidBitDepth)},
        TFailure{"Palette771Bytes",
                 [] { return Grey().Start().Chunk("PLTE", TBytes(771)).IDAT(Grey().stream).IEND().Bytes(); },
                 typeid(EPNGInvalidPalette)},
        TFailure{"PaletteNotTriples",
                 [] { return Grey().Start().Chunk("PLTE", TBytes(4)).IDAT(Grey().stream).IEND().Bytes(); },
                 typeid(EPNGInvalidPalette)},
        TFailure{"Transparency257Bytes",
                 [] { return Grey().Start().Chunk("tRNS", TBytes(257)).IDAT(Grey().stream).IEND().Bytes(); },
                 typeid(EPNGInvalidPalette)},
        // Hostile lengths: nothing is allocated from them.
        TFailure{"LoadedChunkLongerThanFile",
                 [] { return Grey().Start().ChunkWithLength("tEXt", 0x7FFFFFF0, {'a', 0, 'b'}).Bytes(); },
                 typeid(EPngInvalidCRC)},
        TFailure{"CrcCutOff", [] { return Cut(Grey().Start().Chunk("tEXt", {'a', 0, 'b'}).Bytes(), 33 + 12 + 1); },
                 typeid(EPngInvalidCRC)},
        TFailure{"LengthOf2To31",
                 [] { return Grey().Start().ChunkWithLength("tEXt", 0x80000000, {'a', 0, 'b'}).Bytes(); },
                 typeid(EPngInvalidCRC)},
        TFailure{"SkippedLengthOf2To31",
                 [] {
                     return Grey().Start().ChunkWithLength("cHRM", 0x80000000, {}).IDAT(Grey().stream).IEND().Bytes();
                 },
                 typeid(EPngInvalidCRC)},
        // A skipped chunk is sought past; the next length then finds no byte.
        TFailure{"SkippedChunkLongerThanFile",
                 [] { return Grey().Start().IDAT(Grey().stream).ChunkWithLength("cHRM", 1000, {}).IEND().Bytes(); },
                 typeid(EPngUnexpectedEnd)}),
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
    EXPECT_EQ(CompareWithSamples(image, Grey().samples), "");
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
    LoadOutcome(image, Grey().Start().IDAT(Grey().stream).Bytes());
    EXPECT_EQ(image.ChunkList().Count(), 2); // IHDR and IDAT; no chunk for the missing one

    LoadOutcome(image, Grey().Start().IDAT(Grey().stream).ChunkWithCrc("teXt", {1}, 0).Bytes());
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
    LoadBytes(image, Grey().Start().ChunkWithCrc("cHRM", TBytes(32, 7), 0).IDAT(Grey().stream).IEND().Bytes());
    EXPECT_EQ(image.ChunkList().Count(), 3);
}

TEST(ChunkLoop, UnknownAncillaryChunksAreKeptWithTheirData)
{
    TPngImage image;
    const TBytes file = Grey()
                            .Start()
                            .Chunk("abCd", {1, 2, 3})
                            .Chunk(std::string_view("\0xyz", 4), {9})
                            .IDAT(Grey().stream)
                            .IEND()
                            .Bytes();
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
    LoadBytes(image,
              Grey().Start().Chunk("text", {'k', 0, 'v'}).Chunk("tEXt", {'k', 0, 'v'}).IDAT(Grey().stream).IEND().Bytes());
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
    LoadBytes(image, Grey().Start()
                         .Chunk("gAMA", BigEndianBytes(45455))
                         .Chunk("PLTE", {1, 2, 3})
                         .Chunk("tRNS", {0, 0})
                         .Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x14, 1})
                         .Chunk("tIME", {0x07, 0xE3, 12, 31, 23, 59, 60})
                         .Chunk("tEXt", {'T', 'i', 't', 'l', 'e', 0, 'c', 'a', 't'})
                         .Chunk("zTXt", zText)
                         .IDAT(Grey().stream)
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
    LoadBytes(image, Grey().Start()
                         .Chunk("pHYs", {1, 2, 3})
                         .Chunk("tIME", {1, 2, 3, 4, 5, 6, 7, 8})
                         .Chunk("tEXt", {'a', 'b'})
                         .Chunk("zTXt", {'k', 0, 0, 1, 2, 3}) // not a zlib stream
                         .IDAT(Grey().stream)
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
    LoadBytes(image, Grey().Start().Chunk("tEXt", {'a', 'b', 'c'}).IDAT(Grey().stream).IEND().Bytes());
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
    LoadBytes(image, Grey().Start().Chunk("zTXt", data).IDAT(Grey().stream).IEND().Bytes());
    EXPECT_EQ(image.ChunkList().FindChunk<TChunkzTXt>()->fText, "");
}

TEST(ChunkLoop, HeaderVariantsThatLoad)
{
    for (const TBytes& ihdr : {IHDRData(3, 2, 8, 0, 0, 1), // filter method 1 is not checked
                               [] { TBytes d = IHDRData(3, 2, 8, 0); d.push_back(0); return d; }()}) {
        TPngImage image;
        LoadBytes(image, WithHeader(ihdr));
        EXPECT_EQ(CompareWithSamples(image, Grey().samples), "");
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
    LoadBytes(image, Grey().Start().IDAT(Grey().stream).IHDR(5, 5, 8, 0, 1).IEND().Bytes());
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
    LoadBytes(image, Grey().Start().Chunk("gAMA", BigEndianBytes(100000)).IDAT(Grey().stream).IEND().Bytes());
    LoadBytes(image, ValidGrey());
    EXPECT_EQ(image.ChunkList().Count(), 3);
    EXPECT_EQ(image.GammaTable[128], 128);
    EXPECT_EQ(image.InverseGamma[186], 186);
}

} // namespace
} // namespace pix
