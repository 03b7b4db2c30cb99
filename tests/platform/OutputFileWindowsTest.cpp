#include "platform/InOutError.h"
#include "platform/OutputFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>

namespace pix::testing {
namespace {

namespace fs = std::filesystem;

// The outcome of replacing a file with "new": 0 and "" when it worked.
std::pair<int, std::string> Replace(const fs::path& target)
{
    try {
        TReplacementFile file(Utf8(target));
        file.Write("new", 3);
        file.Commit();
    } catch (const EInOutError& e) {
        return {e.ErrorCode, e.what()};
    }
    return {0, ""};
}

class OutputFileWindowsTest : public TFolderTest {
protected:
    OutputFileWindowsTest()
        : TFolderTest("pix-output")
    {
    }
    void TearDown() override
    {
        // A read-only file would stay behind.
        for (const auto& entry : fs::directory_iterator(fFolder))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
};

TEST_F(OutputFileWindowsTest, ReplacesWithTheNewContentAndLeavesNothingElse)
{
    WriteFile(fFolder / "table.csv", "previous content, longer than the new");
    EXPECT_EQ(Replace(fFolder / "table.csv"), std::make_pair(0, std::string()));
    EXPECT_EQ(ReadFile(fFolder / "table.csv"), "new");
    EXPECT_EQ(Replace(fFolder / "fresh.csv"), std::make_pair(0, std::string()));
    EXPECT_EQ(FolderEntries(fFolder), (std::vector<std::string>{"fresh.csv", "table.csv"}));
}

// Each failure carries the system's own code, reads as that code's message,
// and leaves the target as it was, with no temporary file beside it.
TEST_F(OutputFileWindowsTest, FailuresCarryTheSystemsCodesAndKeepTheTarget)
{
    WriteFile(fFolder / "readonly.csv", "previous");
    SetFileAttributesW((fFolder / "readonly.csv").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Replace(fFolder / "readonly.csv"), std::make_pair(5, std::string("File access denied")));
    EXPECT_EQ(ReadFile(fFolder / "readonly.csv"), "previous");

    // The spreadsheet that has the table open, reading it and forbidding writes.
    WriteFile(fFolder / "open.csv", "previous");
    const HANDLE holder = CreateFileW((fFolder / "open.csv").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Replace(fFolder / "open.csv"), std::make_pair(int{kSharingViolation}, std::string("I/O error 32")));
    CloseHandle(holder);
    EXPECT_EQ(ReadFile(fFolder / "open.csv"), "previous");

    EXPECT_EQ(Replace(fFolder / "missing" / "table.csv"), std::make_pair(3, std::string("Invalid filename")));

    fs::create_directory(fFolder / "folder.csv");
    EXPECT_EQ(Replace(fFolder / "folder.csv"), std::make_pair(5, std::string("File access denied")));
    EXPECT_TRUE(fs::is_directory(fFolder / "folder.csv"));

    EXPECT_EQ(FolderEntries(fFolder), (std::vector<std::string>{"folder.csv", "open.csv", "readonly.csv"}));
}

TEST_F(OutputFileWindowsTest, NameLongerThan259CharactersIsRefusedBeforeAnythingIsTouched)
{
    const fs::path folder = fFolder / std::string(100, 'f');
    fs::create_directory(folder);
    const std::size_t room = 259 - folder.native().size() - 1;
    const fs::path longest = folder / std::string(room, 'n');
    const fs::path tooLong = folder / std::string(room + 1, 'n');
    EXPECT_EQ(Replace(tooLong), std::make_pair(3, std::string("Invalid filename")));
    // The longest name works although its temporary name is longer still.
    EXPECT_EQ(Replace(longest), std::make_pair(0, std::string()));
    EXPECT_EQ(ReadFile(longest), "new");
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{std::string(room, 'n')}));
}

TEST_F(OutputFileWindowsTest, CyrillicNamesAreWrittenUnderTheirOwnName)
{
    const fs::path folder = fFolder / PathFromUtf8("Картинки");
    fs::create_directory(folder);
    EXPECT_EQ(Replace(folder / PathFromUtf8("таблиця.csv")), std::make_pair(0, std::string()));
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"таблиця.csv"}));
}

TEST_F(OutputFileWindowsTest, CharacterDeviceIsWrittenDirectly)
{
    EXPECT_EQ(Replace("NUL"), std::make_pair(0, std::string()));
    EXPECT_TRUE(FolderEntries(fFolder).empty());
}

} // namespace
} // namespace pix::testing
