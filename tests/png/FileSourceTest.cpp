// Loading from files and the byte sources under the reader.

#include "png/ByteSource.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pix {
namespace {

using namespace testing;

std::string OpenFailure(const std::string& name)
{
    try {
        TPngImage image;
        image.LoadFromFile(name);
    } catch (const EFOpenError& e) {
        return e.what();
    }
    return "opened";
}

TEST(FileSource, LoadsAFileWithAUtf8Name)
{
    const TTempFolder folder("pix-png");
    const std::filesystem::path& dir = folder.Path();
    const TSampleImage samples = TSampleImage::Random(7, 5, 8, 6, 2);
    const std::string name = (dir / "картинка.png").string();
    const TBytes file = EncodePng(samples, true);
    WriteFile(name, file);
    TPngImage image;
    image.LoadFromFile(name);
    EXPECT_EQ(CompareWithSamples(image, samples), "");
}

TEST(FileSource, FilesThatCannotBeOpenedNameTheFileAndTheReason)
{
    const TTempFolder folder("pix-png");
    const std::filesystem::path& dir = folder.Path();
    const std::string missing = (dir / "missing.png").string();
    EXPECT_EQ(OpenFailure(missing), "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(OpenFailure(dir.string()), "Cannot open file \"" + dir.string() + "\". Is a directory");
}

TEST(FileSource, ReadsAndSeeksLikeMemory)
{
    const TTempFolder folder("pix-png");
    const std::filesystem::path& dir = folder.Path();
    const TBytes bytes = {1, 2, 3, 4, 5};
    const std::string name = (dir / "bytes").string();
    WriteFile(name, bytes);
    TFileSource file(name);
    TMemorySource memory(bytes);
    for (TByteSource* source : {static_cast<TByteSource*>(&file), static_cast<TByteSource*>(&memory)}) {
        uint8_t buffer[8] = {};
        EXPECT_EQ(source->Size(), 5u);
        EXPECT_EQ(source->Read(buffer, 2), 2u);
        EXPECT_EQ(buffer[1], 2);
        source->Seek(4);
        EXPECT_EQ(source->Remaining(), 1u);
        EXPECT_EQ(source->Read(buffer, 8), 1u);
        EXPECT_EQ(buffer[0], 5);
        source->Seek(100); // beyond the end: nothing to read
        EXPECT_EQ(source->Position(), 100u);
        EXPECT_EQ(source->Remaining(), 0u);
        EXPECT_EQ(source->Read(buffer, 8), 0u);
        source->Seek(1);
        EXPECT_EQ(source->Read(buffer, 1), 1u);
        EXPECT_EQ(buffer[0], 2);
    }
}

} // namespace
} // namespace pix
