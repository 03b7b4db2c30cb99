#include "tests/app/pixcsv/PixCsvFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

namespace pix::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(PixCsvTest, OutputFailuresCarryTheirCodesMessagesAndKeepTheTarget)
{
    WriteFile(fFolder / "locked.csv", "previous");
    SetFileAttributesW((fFolder / "locked.csv").c_str(), FILE_ATTRIBUTE_READONLY);
    struct Case {
        std::string output;
        std::string message;
    };
    for (const Case& c : {Case{In("locked.csv"), "File access denied."},
                          Case{In("no\\such\\folder.csv"), "Invalid filename."}}) {
        EXPECT_EQ(Run({"-o", c.output, In("example.png")}), kPixCsvFailed) << c.output;
        EXPECT_EQ(fErr.str(), "pixcsv: " + In("example.png") + ": " + c.message + "\n");
    }
    EXPECT_EQ(ReadFile(fFolder / "locked.csv"), "previous");
    SetFileAttributesW((fFolder / "locked.csv").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(FolderEntries(fFolder), (std::vector<std::string>{"example.png", "locked.csv"}));
}

// The output name is derived with Windows' separators: a "." in a folder's
// name is no extension, and the input's folder receives the table.
TEST_F(PixCsvTest, CyrillicNamesInAndOutAndTheDerivedNameBesideTheInput)
{
    fs::create_directory(fFolder / PathFromUtf8("мої.картинки"));
    fs::copy_file(fFolder / "example.png", fFolder / PathFromUtf8("мої.картинки") / PathFromUtf8("кіт"));
    EXPECT_EQ(Run({In("мої.картинки\\кіт")}), kPixCsvDone) << fErr.str();
    EXPECT_EQ(ReadFile(fFolder / PathFromUtf8("мої.картинки") / PathFromUtf8("кіт.csv")), kExampleCsv);

    EXPECT_EQ(Run({In("missing-кіт.png")}), kPixCsvFailed);
    EXPECT_TRUE(fErr.str().starts_with("pixcsv: " + In("missing-кіт.png") + ": Cannot open file \""
                                       + In("missing-кіт.png") + "\". "))
        << fErr.str();
}

} // namespace
} // namespace pix::testing
