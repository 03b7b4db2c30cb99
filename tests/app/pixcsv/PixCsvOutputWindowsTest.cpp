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

// A spreadsheet holding the workbook open keeps it; nothing is written.
TEST_F(PixCsvTest, WorkbookHeldOpenByAnotherProgramIsKept)
{
    WriteFile(fFolder / "held.xlsx", "previous");
    const HANDLE held = CreateFileW((fFolder / "held.xlsx").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Run({"-o", In("held.xlsx"), In("example.png")}), kPixCsvFailed);
    CloseHandle(held);
    EXPECT_EQ(fErr.str(), "pixcsv: " + In("example.png") + ": I/O error 32.\n");
    EXPECT_EQ(ReadFile(fFolder / "held.xlsx"), "previous");
    EXPECT_EQ(FolderEntries(fFolder), (std::vector<std::string>{"example.png", "held.xlsx"}));
}

// The output name is derived with Windows' separators: a "." in a folder's
// name is no extension, and the input's folder receives the table.
TEST_F(PixCsvTest, CyrillicNamesInAndOutAndTheDerivedNameBesideTheInput)
{
    fs::create_directory(fFolder / PathFromUtf8("мої.картинки"));
    fs::copy_file(fFolder / "example.png", fFolder / PathFromUtf8("мої.картинки") / PathFromUtf8("кіт"));
    EXPECT_EQ(Run({In("мої.картинки\\кіт")}), kPixCsvDone) << fErr.str();
    EXPECT_EQ(ReadFile(fFolder / PathFromUtf8("мої.картинки") / PathFromUtf8("кіт.csv")), kExampleCsv);
    // The workbook library opens its file by name too.
    EXPECT_EQ(Run({"--xlsx", In("мої.картинки\\кіт")}), kPixCsvDone) << fErr.str();
    EXPECT_EQ(ReadFile(fFolder / PathFromUtf8("мої.картинки") / PathFromUtf8("кіт.xlsx")).substr(0, 2), "PK");

    EXPECT_EQ(Run({In("missing-кіт.png")}), kPixCsvFailed);
    EXPECT_TRUE(fErr.str().starts_with("pixcsv: " + In("missing-кіт.png") + ": Cannot open file \""
                                       + In("missing-кіт.png") + "\". "))
        << fErr.str();
}

} // namespace
} // namespace pix::testing
