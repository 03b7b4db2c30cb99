#include "tests/app/core/FlowFixture.h"

#include "png/ByteSource.h"
#include "png/PngErrors.h"
#include "tests/support/SystemTexts.h"

namespace pix::testing {
namespace {

TEST_F(FlowTest, LoadDrawsThePictureAndMarksItLoaded)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    Load("cat.png");
    EXPECT_TRUE(ImageLoaded);
    EXPECT_EQ(ImageFileName, PathText("cat.png"));
    EXPECT_EQ(Front.Picture.Width(), 3);
    EXPECT_EQ(Front.Picture.Pixels(2, 1), 255);
}

TEST_F(FlowTest, CancelKeepsThePictureButSavingDoesNothing)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    Load("cat.png");
    Export("cat.csv");
    const int colours = ColorTable.ColorCount();
    Load(std::nullopt);
    EXPECT_FALSE(ImageLoaded);
    EXPECT_EQ(ImageFileName, PathText("cat.csv"));
    EXPECT_EQ(ColorTable.ColorCount(), colours);
    EXPECT_EQ(Front.Picture.Width(), 3);
    const std::size_t dialogs = Front.Seen.size();
    RunExportFlow(Front);
    EXPECT_EQ(Front.Seen.size(), dialogs);
}

// 40000 x 40000 with alpha needs 8 GB: more than a 32-bit address space,
// and more than its size_t counts, so it must not be cut down and allocated.
TEST_F(FlowTest, PictureBeyondTheAddressSpaceFailsWithTheMemoryMessageAndTheNextLoadWorks)
{
    if constexpr (sizeof(void*) > 4)
        GTEST_SKIP() << "a 64-bit process may well have the memory";
    TPngWriter huge;
    huge.Signature().IHDR(40000, 40000, 8, 6).IDAT(ZlibCompress({0})).IEND();
    WriteFile(fFolder / "huge.png", huge.Bytes());
    try {
        Load("huge.png");
        FAIL() << "no failure";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(),
                     "Not enough memory to load this \"Portable Network Graphics\" image of 40000 x 40000 pixels.");
    }
    EXPECT_FALSE(ImageLoaded);
    WriteFile(fFolder / "cat.png", ExamplePng());
    Load("cat.png");
    EXPECT_TRUE(ImageLoaded);
}

TEST_F(FlowTest, FileThatCannotBeOpenedNamesItAndEmptiesTheTable)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    Load("cat.png");
    Export("cat.csv");
    try {
        Load("missing.png");
        FAIL() << "no failure";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + PathText("missing.png") + "\". " + MissingFileText());
    }
    EXPECT_FALSE(ImageLoaded);
    EXPECT_EQ(ImageFileName, PathText("missing.png"));
    EXPECT_EQ(ColorTable.ColorCount(), 0);
    EXPECT_EQ(Front.Picture.Width(), 3);
}

TEST_F(FlowTest, PictureThatCannotBeDrawnIsNotExported)
{
    TPngWriter writer;
    writer.Signature().IHDR(2, 1, 8, 3).Chunk("PLTE", {1, 2, 3}).Chunk("tRNS", {9, 9});
    writer.IDAT(ZlibCompress({0, 0, 4})).IEND();
    WriteFile(fFolder / "palette.png", writer.Bytes());
    try {
        Load("palette.png");
        FAIL() << "no failure";
    } catch (const EPngError& e) {
        EXPECT_STREQ(e.what(), "There is no such palette entry.");
    }
    EXPECT_FALSE(ImageLoaded);
    Export("palette.csv");
    EXPECT_FALSE(fs::exists(fFolder / "palette.csv"));
}

TEST_F(FlowTest, NewPictureIsNumberedFromAnEmptyTable)
{
    WriteFile(fFolder / "many.png", EncodePng(TSampleImage::Random(20, 20, 8, 2, 1), false));
    WriteFile(fFolder / "cat.png", ExamplePng());
    Load("many.png");
    Export("many.csv");
    Load("cat.png");
    Export("cat.csv");
    EXPECT_EQ(ReadFile(fFolder / "cat.csv"), kExampleCsv);
}

} // namespace
} // namespace pix::testing
