// Loading from files and the byte sources under the reader.

#include "png/ByteSource.h"
#include "png/PngImage.h"
#include "tests/png/ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pix {
namespace {

using namespace testing;

std::filesystem::path TempDir()
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("pix_png_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    return dir;
}

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
    const std::filesystem::path dir = TempDir();
    const TSampleImage samples = TSampleImage::Random(7, 5, 8, 6, 2);
    const std::string name = (dir / "картинка.png").string();
    const TBytes file = EncodePng(samples, true);
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    TPngImage image;
    image.LoadFromFile(name);
    EXPECT_EQ(CompareWithSamples(image, samples), "");
    std::filesystem::remove_all(dir);
}

TEST(FileSource, FilesThatCannotBeOpenedNameTheFileAndTheReason)
{
    const std::filesystem::path dir = TempDir();
    const std::string missing = (dir / "missing.png").string();
    EXPECT_EQ(OpenFailure(missing), "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(OpenFailure(dir.string()), "Cannot open file \"" + dir.string() + "\". Is a directory");
    std::filesystem::remove_all(dir);
}

TEST(FileSource, ReadsAndSeeksLikeMemory)
{
    const std::filesystem::path dir = TempDir();
    const TBytes bytes = {1, 2, 3, 4, 5};
    const std::string name = (dir / "bytes").string();
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 5);
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
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace pix
