// Gamma tables built from gAMA chunks.

#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"

#include <gtest/gtest.h>

namespace pix {
namespace {

using namespace testing;

TGammaTable TableFor(const TBytes& gamaData)
{
    TPngImage image;
    LoadBytes(image, TPngWriter()
                         .Signature()
                         .IHDR(1, 1, 8, 0)
                         .Chunk("gAMA", gamaData)
                         .IDAT(ZlibCompress({0, 0}))
                         .IEND()
                         .Bytes());
    return image.GammaTable;
}

TGammaTable Identity()
{
    TGammaTable table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uint8_t>(i);
    return table;
}

TEST(Gamma, WorkedValues)
{
    EXPECT_EQ(TableFor(BigEndianBytes(45455)), Identity());

    const TGammaTable linear = TableFor(BigEndianBytes(100000));
    EXPECT_EQ(linear[0], 0);
    EXPECT_EQ(linear[1], 21);
    EXPECT_EQ(linear[64], 136);
    EXPECT_EQ(linear[128], 186);
    EXPECT_EQ(linear[192], 224);
    EXPECT_EQ(linear[254], 255);
    EXPECT_EQ(linear[255], 255);

    EXPECT_EQ(TableFor(BigEndianBytes(50000))[128], 136);

    const TGammaTable steep = TableFor(BigEndianBytes(1));
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(steep[i], 0) << i;
    EXPECT_EQ(steep[255], 255);
}

TEST(Gamma, OtherSizesCountAsGammaOne)
{
    EXPECT_EQ(TableFor({0, 1, 0x86}), TableFor(BigEndianBytes(1)));
    EXPECT_EQ(TableFor({}), TableFor(BigEndianBytes(1)));
}

TEST(Gamma, ZeroLeavesTheTables)
{
    EXPECT_EQ(TableFor(BigEndianBytes(0)), Identity());
}

// A 3-byte gAMA acts as Gamma 1: every corrected RGB sample below 255 is 0.
TEST(Gamma, ShortChunkDarkensColourSamples)
{
    TPngImage image;
    LoadBytes(image, TPngWriter()
                         .Signature()
                         .IHDR(2, 1, 8, 2)
                         .Chunk("gAMA", {1, 2, 3})
                         .IDAT(ZlibCompress({0, 254, 100, 255, 1, 2, 3}))
                         .IEND()
                         .Bytes());
    EXPECT_EQ(TBytes(image.Scanline(0), image.Scanline(0) + 6), (TBytes{255, 0, 0, 0, 0, 0}));
}

TEST(Gamma, LaterChunkRebuildsAndInverseFollows)
{
    TPngImage image;
    LoadBytes(image, TPngWriter()
                         .Signature()
                         .IHDR(1, 1, 8, 0)
                         .Chunk("gAMA", BigEndianBytes(100000))
                         .Chunk("gAMA", BigEndianBytes(50000))
                         .IDAT(ZlibCompress({0, 0}))
                         .IEND()
                         .Bytes());
    EXPECT_EQ(image.GammaTable[128], 136);
    // inverse[table[i]] = i, the last i winning where table repeats a value.
    for (int i = 0; i < 256; ++i) {
        const int last = [&] {
            int found = i;
            for (int j = 0; j < 256; ++j)
                if (image.GammaTable[j] == image.GammaTable[i])
                    found = j;
            return found;
        }();
        EXPECT_EQ(image.InverseGamma[image.GammaTable[i]], last);
    }
}

} // namespace
} // namespace pix
