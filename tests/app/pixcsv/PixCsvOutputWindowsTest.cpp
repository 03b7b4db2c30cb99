#include "tests/app/pixcsv/PixCsvFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace pix::testing {
namespace {

namespace fs = std::filesystem;

// What pixcsv.exe, the program built beside this one, writes to standard
// error when that is a file, run in folder.
std::string StandardErrorInFile(const fs::path& folder, std::wstring commandLine)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path program = fs::path(self).parent_path() / "pixcsv.exe";
    const fs::path errors = folder / "errors.txt";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE file =
        CreateFileW(errors.c_str(), GENERIC_WRITE, 0, &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = file;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       folder.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(file);
    return ReadFile(errors);
}

// The bytes of the Linux converter: a message's own CR LF stays as it is
// and the line ends in LF, where text mode would write CR CR LF and CR LF.
TEST_F(PixCsvTest, FailureLinesInAFileHaveTheBytesOfEveryPlatform)
{
    WriteFile(fFolder / "first-chunk-not-IHDR.png", TPngWriter().Signature().IEND().Bytes());
    EXPECT_EQ(StandardErrorInFile(fFolder, L"pixcsv.exe first-chunk-not-IHDR.png"),
              "pixcsv: first-chunk-not-IHDR.png: This \"Portable Network Graphics\" image is not supported or it "
              "might be invalid.\r\n(IHDR chunk is not the first)\n");
}

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
