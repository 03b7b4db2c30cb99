#include "platform/InOutError.h"
#include "platform/OutputFile.h"
#include "tests/support/Mount.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pix {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;
using testing::WriteFile;

int ModeOf(const fs::path& path)
{
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0);
    return static_cast<int>(status.st_mode & 07777);
}

class OutputFileTest : public testing::TFolderTest {
protected:
    OutputFileTest()
        : TFolderTest("pix-output")
    {
    }

    // Everything in the folder but the named files: temporary files left over.
    std::vector<std::string> Leftovers(std::initializer_list<std::string> expected) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fFolder))
            if (std::find(expected.begin(), expected.end(), entry.path().filename()) == expected.end())
                names.push_back(entry.path().filename());
        return names;
    }

    // The failure of replacing name with "new", as code and message.
    static std::pair<int, std::string> Failure(const std::string& name)
    {
        try {
            TReplacementFile file(name);
            file.Write("new", 3);
            file.Commit();
        } catch (const EInOutError& e) {
            return {e.ErrorCode, e.what()};
        }
        return {0, ""};
    }

};

TEST_F(OutputFileTest, CommitCreatesTheFileWithUmaskMode)
{
    const fs::path target = fFolder / "out.csv";
    {
        TReplacementFile file(target);
        file.Write("1;\r\n", 4);
        EXPECT_FALSE(fs::exists(target)); // nothing visible before the commit
        file.Commit();
    }
    EXPECT_EQ(ReadFile(target), "1;\r\n");
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(ModeOf(target), 0666 & ~static_cast<int>(mask));
    EXPECT_TRUE(Leftovers({"out.csv"}).empty());
}

TEST_F(OutputFileTest, ReplacementKeepsPermissionBits)
{
    const fs::path target = fFolder / "out.csv";
    WriteFile(target, "old content");
    chmod(target.c_str(), 0640);
    {
        TReplacementFile file(target);
        file.Write("new", 3);
        file.Commit();
    }
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(ModeOf(target), 0640);
}

TEST_F(OutputFileTest, UncommittedWritesLeaveTheTargetAsItWas)
{
    const fs::path target = fFolder / "out.csv";
    WriteFile(target, "old content");
    {
        TReplacementFile file(target);
        file.Write("new", 3);
    }
    EXPECT_EQ(ReadFile(target), "old content");
    EXPECT_TRUE(Leftovers({"out.csv"}).empty());
}

TEST_F(OutputFileTest, SymbolicLinkKeepsPointingAtTheReplacedFile)
{
    const fs::path target = fFolder / "real.csv";
    const fs::path link = fFolder / "link.csv";
    WriteFile(target, "old");
    fs::create_symlink(target, link);
    {
        TReplacementFile file(link);
        file.Write("new", 3);
        file.Commit();
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "new");
}

TEST_F(OutputFileTest, ReadOnlyTargetIsDeniedAndKept)
{
    const fs::path target = fFolder / "out.csv";
    WriteFile(target, "old content");
    chmod(target.c_str(), 0444);
    EXPECT_EQ(Failure(target), std::make_pair(5, std::string("File access denied")));
    EXPECT_EQ(ReadFile(target), "old content");
    EXPECT_TRUE(Leftovers({"out.csv"}).empty());
}

TEST_F(OutputFileTest, UnwritableFolderIsDenied)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    fs::permissions(fFolder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Failure(fFolder / "out.csv").first, kFileAccessDenied);
}

TEST_F(OutputFileTest, MissingFolderIsAnInvalidName)
{
    EXPECT_EQ(Failure(fFolder / "missing" / "out.csv"), std::make_pair(3, std::string("Invalid filename")));
    WriteFile(fFolder / "plain", "x");
    EXPECT_EQ(Failure(fFolder / "plain" / "out.csv").first, kInvalidFileName); // a file as folder
}

TEST_F(OutputFileTest, NameOfMoreThan259CharactersFailsBeforeAnythingIsTouched)
{
    const std::string prefix = fFolder.string() + "/";
    const std::string longest = prefix + std::string(259 - prefix.size(), 'a');
    EXPECT_EQ(Failure(longest).first, 0);
    EXPECT_EQ(Failure(longest + "b"), std::make_pair(3, std::string("Invalid filename")));
    // Counted in characters, not bytes: fewer than 259 may take more bytes.
    std::string cyrillic = prefix;
    for (int i = 0; i < 120; ++i)
        cyrillic += "ж";
    ASSERT_GT(cyrillic.size(), 259u);
    EXPECT_EQ(Failure(cyrillic).first, 0);
    EXPECT_EQ(Leftovers({longest.substr(prefix.size()), cyrillic.substr(prefix.size())}).size(), 0u);
}

TEST_F(OutputFileTest, FolderAsTargetIsDenied)
{
    fs::create_directory(fFolder / "sub");
    EXPECT_EQ(Failure(fFolder / "sub").first, kFileAccessDenied);
    EXPECT_TRUE(fs::is_directory(fFolder / "sub"));
}

TEST_F(OutputFileTest, PipeIsNeitherFileNorDeviceAndNeverBlocks)
{
    const fs::path pipe = fFolder / "pipe.csv";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0666), 0);
    EXPECT_EQ(Failure(pipe), std::make_pair(105, std::string("I/O error 105")));
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST_F(OutputFileTest, CharacterDeviceIsWrittenDirectly)
{
    EXPECT_EQ(Failure("/dev/null").first, 0);
    EXPECT_EQ(Failure("/dev/full"), std::make_pair(112, std::string("I/O error 112")));
}

TEST_F(OutputFileTest, FullDiskKeepsThePreviousContent)
{
    const fs::path mountPoint = fFolder / "small";
    const testing::TMount mounted(mountPoint, "tmpfs", "tmpfs", 0, "size=64k");
    if (!mounted.Mounted())
        GTEST_SKIP() << "no small file system can be mounted here";
    const fs::path target = mountPoint / "out.csv";
    WriteFile(target, "old content");
    int code = 0;
    try {
        TReplacementFile file(target);
        const std::string block(16384, '1');
        for (int i = 0; i < 16; ++i)
            file.Write(block.data(), block.size());
        file.Commit();
    } catch (const EInOutError& e) {
        code = e.ErrorCode;
    }
    const std::string kept = ReadFile(target);
    const bool onlyTarget = fs::directory_iterator(mountPoint)->path() == target
        && std::distance(fs::directory_iterator(mountPoint), fs::directory_iterator()) == 1;
    EXPECT_EQ(code, kDiskFull);
    EXPECT_EQ(kept, "old content");
    EXPECT_TRUE(onlyTarget);
}

struct MessageCase {
    int code;
    const char* message;
};

void PrintTo(const MessageCase& c, std::ostream* os)
{
    *os << c.code;
}

class InOutMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(InOutMessageTest, MessageIsChosenByCode)
{
    EXPECT_STREQ(EInOutError(GetParam().code).what(), GetParam().message);
    EXPECT_EQ(EInOutError(GetParam().code).ErrorCode, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Codes, InOutMessageTest,
    ::testing::Values(MessageCase{2, "File not found"}, MessageCase{3, "Invalid filename"},
                      MessageCase{4, "Too many open files"}, MessageCase{5, "File access denied"},
                      MessageCase{100, "Read beyond end of file"}, MessageCase{101, "Disk full"},
                      MessageCase{106, "Invalid numeric input"}, MessageCase{32, "I/O error 32"},
                      MessageCase{112, "I/O error 112"}));

struct PlatformCase {
    int platformError;
    int code;
    const char* message;
};

void PrintTo(const PlatformCase& c, std::ostream* os)
{
    *os << "errno " << c.platformError;
}

class PlatformErrorTest : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(PlatformErrorTest, MapsToTheCodeUsersKnow)
{
    const EInOutError error = InOutErrorFromPlatform(GetParam().platformError);
    EXPECT_EQ(error.ErrorCode, GetParam().code);
    EXPECT_STREQ(error.what(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Errno, PlatformErrorTest,
    ::testing::Values(PlatformCase{ENOENT, 3, "Invalid filename"}, PlatformCase{ENOTDIR, 3, "Invalid filename"},
                      PlatformCase{ENAMETOOLONG, 3, "Invalid filename"}, PlatformCase{ELOOP, 3, "Invalid filename"},
                      PlatformCase{EACCES, 5, "File access denied"}, PlatformCase{EPERM, 5, "File access denied"},
                      PlatformCase{EROFS, 5, "File access denied"}, PlatformCase{EISDIR, 5, "File access denied"},
                      PlatformCase{ETXTBSY, 5, "File access denied"}, PlatformCase{EMFILE, 4, "Too many open files"},
                      PlatformCase{ENFILE, 4, "Too many open files"}, PlatformCase{ENOSPC, 112, "I/O error 112"},
                      PlatformCase{EDQUOT, 112, "I/O error 112"}, PlatformCase{EFBIG, 112, "I/O error 112"},
                      // EIO is 5 on Linux, yet no access problem: it keeps its own text.
                      PlatformCase{EIO, EIO, "I/O error 5"}, PlatformCase{EPIPE, EPIPE, "I/O error 32"}));

} // namespace
} // namespace pix
