// pixcsv as a process, stopped in the middle of writing its table: killed
// outright, interrupted, or out of disk space. The target keeps its
// previous content throughout; nothing appears under the target's name
// before the table is complete, and what a kill leaves behind is one
// hidden file whose name says where it came from.

#include "tests/support/PngWriter.h"
#include "tests/support/Mount.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

extern char** environ;

namespace pix {
namespace {

namespace fs = std::filesystem;
using testing::TBytes;
using testing::ReadFile;
using testing::WriteFile;
using testing::FolderEntries;

// 2048 x 2048 pixels of 4,194,304 different colours: a table of some 32 MB
// that takes pixcsv long enough to write to be caught at it.
TBytes ManyColoursPng()
{
    constexpr uint32_t kSide = 2048;
    TBytes rows;
    rows.reserve(size_t{kSide} * (kSide * 3 + 1));
    for (uint32_t y = 0; y < kSide; ++y) {
        rows.push_back(0);
        for (uint32_t x = 0; x < kSide; ++x)
            rows.insert(rows.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                                     static_cast<uint8_t>(x >> 8 | (y >> 8) << 3)});
    }
    return testing::TPngWriter().Signature().IHDR(kSide, kSide, 8, 2).IDAT(testing::ZlibCompress(rows, 1)).IEND().Bytes();
}

const TBytes& ManyColours()
{
    static const TBytes file = ManyColoursPng();
    return file;
}

class PixCsvKillTest : public testing::TFolderTest {
protected:
    PixCsvKillTest()
        : TFolderTest("pix-pixcsv-kill")
    {
    }
    void SetUp() override
    {
        fErrors = fFolder.string() + ".err"; // beside the folder, whose entries are checked
        WriteFile(fFolder / "picture.png", ManyColours());
    }
    void TearDown() override
    {
        if (fChild > 0) {
            kill(fChild, SIGKILL);
            waitpid(fChild, nullptr, 0);
        }
        fs::remove(fErrors);
    }

    // Starts pixcsv -q -o output picture.png, its standard error into a file.
    void Start(const fs::path& output)
    {
        const std::string program = PIXCSV_PROGRAM;
        const std::string input = (fFolder / "picture.png").string();
        const std::string errors = fErrors.string();
        std::vector<std::string> arguments = {program, "-q", "-o", output.string(), input};
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_EQ(posix_spawn(&fChild, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
    }

    // Waits until pixcsv has written its first block into a temporary file
    // in folder, and stops it there; false when it ended first.
    bool StopWhileWriting(const fs::path& folder)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const auto& entry : fs::directory_iterator(folder)) {
                std::error_code ignored;
                if (entry.path().filename().string().rfind(".pixcsv-", 0) == 0 && fs::file_size(entry, ignored) > 0) {
                    kill(fChild, SIGSTOP);
                    return true;
                }
            }
            if (waitpid(fChild, nullptr, WNOHANG) == fChild) {
                fChild = 0;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    // Sends signal to the stopped process and returns how it ended.
    int EndWith(int signal)
    {
        kill(fChild, signal);
        kill(fChild, SIGCONT);
        int status = 0;
        waitpid(fChild, &status, 0);
        fChild = 0;
        return status;
    }

    fs::path fErrors;
    pid_t fChild = 0;
};

TEST_F(PixCsvKillTest, KilledWhileWritingLeavesTheTargetAndOneRecognisableTemporaryFile)
{
    WriteFile(fFolder / "picture.csv", {'o', 'l', 'd'});
    Start(fFolder / "picture.csv");
    ASSERT_TRUE(StopWhileWriting(fFolder)) << "pixcsv ended before it was caught writing";
    EXPECT_EQ(ReadFile(fFolder / "picture.csv"), "old"); // while it is writing, too
    const int status = EndWith(SIGKILL);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    EXPECT_EQ(ReadFile(fFolder / "picture.csv"), "old");
    const std::vector<std::string> entries = FolderEntries(fFolder);
    ASSERT_EQ(entries.size(), 3u);
    // Hidden, and named after the program that left it.
    EXPECT_TRUE(std::regex_match(entries[0], std::regex(R"(\.pixcsv-[a-z0-9]{8})"))) << entries[0];
    EXPECT_EQ(entries[1], "picture.csv");
    EXPECT_EQ(entries[2], "picture.png");
}

TEST_F(PixCsvKillTest, InterruptedWhileWritingRemovesItsTemporaryFile)
{
    WriteFile(fFolder / "picture.csv", {'o', 'l', 'd'});
    for (const int signal : {SIGINT, SIGTERM}) {
        Start(fFolder / "picture.csv");
        ASSERT_TRUE(StopWhileWriting(fFolder)) << "pixcsv ended before it was caught writing";
        const int status = EndWith(signal);
        ASSERT_TRUE(WIFEXITED(status)) << "killed by " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 130);
        EXPECT_EQ(ReadFile(fErrors), "pixcsv: " + (fFolder / "picture.png").string() + ": interrupted\n");
        EXPECT_EQ(ReadFile(fFolder / "picture.csv"), "old");
        EXPECT_EQ(FolderEntries(fFolder), (std::vector<std::string>{"picture.csv", "picture.png"}));
    }
}

} // namespace
} // namespace pix
