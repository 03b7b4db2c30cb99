#include "tests/app/core/FlowFixture.h"

#include "app/pixcsv/PixCsv.h"
#include "platform/InOutError.h"
#include "tests/colours/StringSink.h"

#include <sstream>

namespace pix::testing {
namespace {

TEST_F(FlowTest, NothingLoadedNothingHappens)
{
    RunExportFlow(Front);
    EXPECT_TRUE(Front.Seen.empty());
}

TEST_F(FlowTest, SaveDialogProposesTheDerivedNameAndTheTableIsWritten)
{
    fs::create_directory(fFolder / "my.pics");
    WriteFile(fFolder / "my.pics" / "cat.png", ExamplePng());
    Load("my.pics/cat.png");
    Export("my.pics/cat.csv");
    ASSERT_EQ(Front.Seen.size(), 2u);
    const TDialogSeen& save = Front.Seen[1];
    EXPECT_EQ(save.kind, TDialogSeen::Save);
    EXPECT_EQ(save.folder, PathText("my.pics"));
    EXPECT_EQ(save.fileName, "cat.csv");
    EXPECT_EQ(ImageFileName, PathText("my.pics/cat.csv"));
    EXPECT_EQ(ReadFile(fFolder / "my.pics" / "cat.csv"), kExampleCsv);
}

TEST_F(FlowTest, SecondExportProposesTheSameNameAndWritesTheSameBytes)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    Load("cat.png");
    Export("first.csv");
    Export("second.csv");
    EXPECT_EQ(Front.Seen[2].folder, Front.Seen[1].folder);
    EXPECT_EQ(Front.Seen[2].fileName, Front.Seen[1].fileName);
    EXPECT_EQ(ReadFile(fFolder / "second.csv"), kExampleCsv);
    EXPECT_EQ(ReadFile(fFolder / "first.csv"), kExampleCsv);
}

TEST_F(FlowTest, CancelledSaveWritesNothingAndKeepsTheDerivedName)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    Load("cat.png");
    Export(std::nullopt);
    EXPECT_FALSE(fs::exists(fFolder / "cat.csv"));
    EXPECT_EQ(ImageFileName, PathText("cat.csv"));
    EXPECT_TRUE(ImageLoaded);
}

TEST_F(FlowTest, LoadedPictureItselfCanBeReplaced)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    Load("cat.png");
    Export("cat.png");
    EXPECT_EQ(ReadFile(fFolder / "cat.png"), kExampleCsv);
}

TEST_F(FlowTest, ReadOnlyTargetIsDeniedKeptAndCanBeRetried)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    WriteFile(fFolder / "cat.csv", {'o', 'l', 'd'});
    fs::permissions(fFolder / "cat.csv", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Load("cat.png");
    try {
        Export("cat.csv");
        FAIL() << "no failure";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 5);
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_EQ(ReadFile(fFolder / "cat.csv"), "old");
    EXPECT_TRUE(ImageLoaded);
    Export("other.csv");
    EXPECT_EQ(ReadFile(fFolder / "other.csv"), kExampleCsv);
}

struct KindCase {
    const char* name;
    uint8_t bitDepth;
    uint8_t colorType;
    std::vector<std::pair<const char*, TBytes>> chunks;
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.name;
}

class SameAsPixCsvTest : public FlowTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(SameAsPixCsvTest, WindowAndConverterWriteTheSameBytes)
{
    const KindCase& c = GetParam();
    const TSampleImage samples = TSampleImage::Random(17, 9, c.bitDepth, c.colorType, 11);
    TPngWriter writer;
    writer.Signature().IHDR(samples.width, samples.height, c.bitDepth, c.colorType);
    for (const auto& [type, data] : c.chunks)
        writer.Chunk(type, data);
    writer.IDAT(ZlibCompress(FilteredScanlines(samples, false))).IEND();
    WriteFile(fFolder / "picture.png", writer.Bytes());

    Load("picture.png");
    Export("window.csv");

    TStringSink converted;
    std::ostringstream out;
    std::ostringstream err;
    TPixCsvStreams streams{converted, out, err};
    EXPECT_EQ(RunPixCsv({"-o", "-", PathText("picture.png")}, streams), kPixCsvDone) << err.str();
    EXPECT_EQ(ReadFile(fFolder / "window.csv"), converted.Bytes);
    EXPECT_GT(converted.Bytes.size(), 9u * 17 * 2);
}

TBytes Palette16()
{
    TBytes data;
    for (int i = 0; i < 16 * 3; ++i)
        data.push_back(static_cast<uint8_t>(i * 37));
    return data;
}

INSTANTIATE_TEST_SUITE_P(Kinds, SameAsPixCsvTest,
    ::testing::Values(KindCase{"Grey1", 1, 0, {}}, KindCase{"Grey2", 2, 0, {}}, KindCase{"Grey16", 16, 0, {}},
                      KindCase{"GreyBitTransparent", 8, 0, {{"tRNS", {0, 7}}}},
                      KindCase{"Rgb8Gamma", 8, 2, {{"gAMA", BigEndianBytes(45455)}}}, KindCase{"Rgb16", 16, 2, {}},
                      KindCase{"Palette4", 4, 3, {{"PLTE", Palette16()}}},
                      KindCase{"PaletteBit", 4, 3, {{"PLTE", Palette16()}, {"tRNS", {255, 0}}}},
                      KindCase{"PalettePartial", 4, 3, {{"PLTE", Palette16()}, {"tRNS", {10, 200, 0, 90}}}},
                      KindCase{"GreyAlpha", 8, 4, {}}, KindCase{"RgbAlpha16", 16, 6, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pix::testing
