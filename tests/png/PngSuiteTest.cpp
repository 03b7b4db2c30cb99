// The PngSuite conformance corpus: valid files decode to what libpng's raw
// samples prescribe; the x* files fail with the fitting exception.

#include "png/PngErrors.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace pix {
namespace {

using namespace testing;

const std::filesystem::path kSuite = PIXELIZER_PNGSUITE_DIR;

std::vector<std::filesystem::path> SuiteFiles()
{
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(kSuite))
        for (const auto& entry : std::filesystem::directory_iterator(kSuite))
            if (entry.path().extension() == ".png")
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(PngSuite, ValidFilesDecodeAsLibpngReadsThem)
{
    const std::vector<std::filesystem::path> files = SuiteFiles();
    if (files.empty())
        GTEST_SKIP() << "PngSuite is not beside the project";
    int checked = 0;
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        if (name[0] == 'x')
            continue;
        SCOPED_TRACE(name);
        const TBytes file = ReadFileBytes(path.string());
        const std::optional<TSampleImage> oracle = DecodeWithLibpng(file);
        ASSERT_TRUE(oracle.has_value());
        TPngImage image;
        image.LoadFromFile(path.string());
        EXPECT_EQ(CompareWithSamples(image, *oracle), "");
        // Palette images: the table is the PLTE colours through the gamma table.
        if (const TChunkPLTE* plte = image.Palette(); plte && oracle->colorType == 3) {
            const TChunkIHDR& header = image.Header();
            EXPECT_EQ(header.BitmapInfo.bmiHeader.biClrUsed, static_cast<uint32_t>(plte->Count()));
            for (int i = 0; i < plte->Count(); ++i) {
                const uint8_t* rgb = plte->Data() + 3 * i;
                EXPECT_EQ(header.BitmapInfo.bmiColors[i],
                          (TRGBQuad{image.GammaTable[rgb[2]], image.GammaTable[rgb[1]], image.GammaTable[rgb[0]], 0}));
            }
        }
        ++checked;
    }
    EXPECT_EQ(checked, 161);
}

TEST(PngSuite, BrokenFilesFailWithTheFittingException)
{
    if (SuiteFiles().empty())
        GTEST_SKIP() << "PngSuite is not beside the project";
    const std::map<std::string, std::type_index> expected = {
        {"xc1n0g08.png", typeid(EPNGUnknownColorType)},  {"xc9n2c08.png", typeid(EPNGUnknownColorType)},
        {"xcrn0g04.png", typeid(EPNGInvalidFileHeader)}, {"xcsn0g01.png", typeid(EPngInvalidCRC)},
        {"xd0n2c08.png", typeid(EPNGInvalidBitDepth)},   {"xd3n2c08.png", typeid(EPNGInvalidBitDepth)},
        {"xd9n2c08.png", typeid(EPNGInvalidBitDepth)},   {"xdtn0g01.png", typeid(EPNGNoImageData)},
        {"xhdn0g08.png", typeid(EPngInvalidCRC)},        {"xlfn0g04.png", typeid(EPNGInvalidFileHeader)},
        {"xs1n0g01.png", typeid(EPNGInvalidFileHeader)}, {"xs2n0g01.png", typeid(EPNGInvalidFileHeader)},
        {"xs4n0g01.png", typeid(EPNGInvalidFileHeader)}, {"xs7n0g01.png", typeid(EPNGInvalidFileHeader)},
    };
    size_t seen = 0;
    for (const auto& path : SuiteFiles()) {
        const std::string name = path.filename().string();
        if (name[0] != 'x')
            continue;
        ++seen;
        const TLoadOutcome outcome = LoadOutcome(ReadFileBytes(path.string()));
        ASSERT_TRUE(outcome.kind.has_value()) << name;
        ASSERT_TRUE(expected.count(name)) << name;
        EXPECT_EQ(*outcome.kind, expected.at(name)) << name << ": " << outcome.message;
    }
    EXPECT_EQ(seen, expected.size());
}

} // namespace
} // namespace pix
