#include "app/core/Messages.h"
#include "platform/FileNames.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pix {
namespace {

TEST(FullStopRule, AppendsOnlyAfterCharactersAboveFullStop)
{
    EXPECT_EQ(WithFullStop("File not found"), "File not found.");
    EXPECT_EQ(WithFullStop("I/O error 32"), "I/O error 32.");
    EXPECT_EQ(WithFullStop("Cannot open file \"a b\". No such file or directory"),
              "Cannot open file \"a b\". No such file or directory.");
    // Ending in ".", "!", ")", a double quote, "-" or a space: left alone.
    for (const char* unchanged : {"Done.", "Помилка!", "(crc error)", "said \"x\"", "a-", "a ", ""})
        EXPECT_EQ(WithFullStop(unchanged), unchanged) << unchanged;
    // "/" is 0x2F, the first character that gets the stop.
    EXPECT_EQ(WithFullStop("a/"), "a/.");
    EXPECT_EQ(WithFullStop("Зберегти"), "Зберегти.");
}

// A program's path in the platform's own form.
std::string ProgramPath(std::initializer_list<std::string_view> folders)
{
    std::string path;
    for (const std::string_view folder : folders)
        path.append(1, kFolderSeparators.front()).append(folder);
    return path;
}

TEST(ApplicationTitle, IsTheFileNameCutBeforeItsFirstDotWithTheRestLowerCased)
{
    EXPECT_EQ(ApplicationTitle(ProgramPath({"usr", "bin", "pixelizer"})), "pixelizer");
    EXPECT_EQ(ApplicationTitle(ProgramPath({"opt", "PixelIzer"})), "Pixelizer");
    EXPECT_EQ(ApplicationTitle(ProgramPath({"opt", "my.tool.v2", "pixelizer.Debug.exe"})), "pixelizer");
    EXPECT_EQ(ApplicationTitle(ProgramPath({"opt", "ПІКСЕЛІ.exe"})), "Пікселі");
    EXPECT_EQ(ApplicationTitle(ProgramPath({"opt", ".hidden"})), "");
}

TEST(FailureMessage, NamesExhaustedMemoryInTheSystemsWords)
{
    EXPECT_EQ(FailureMessage(std::bad_alloc()), "Out of system resources");
    EXPECT_EQ(WithFullStop(FailureMessage(std::bad_alloc())), "Out of system resources.");
    EXPECT_EQ(FailureMessage(std::runtime_error("I/O error 32")), "I/O error 32");
}

} // namespace
} // namespace pix
