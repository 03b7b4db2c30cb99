// Faults of POSIX file systems while the window exports: a full disk,
// read-only targets that even root cannot write, and a pipe. Each test
// checks the target's bytes afterwards, that no temporary file is left
// beside it, and that the next export still works.

#include "tests/app/core/FlowFixture.h"

#include "tests/support/Mount.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>


namespace pix::testing {
namespace {

// Sets or clears the immutable attribute, which stops root as well; false
// where the file system or the process's capabilities do not allow it.
bool SetImmutable(const fs::path& file, bool on)
{
    const int descriptor = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    int flags = 0;
    bool done = ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(descriptor);
    return done;
}

// The replacement file itself keeps the previous table on a full disk (its
// own test); through the window the failure is shown and the next export works.
TEST_F(ExportFaultsTest, FullDeviceFailsAtTheFirstBlock)
{
    EXPECT_EQ(FailureOf([&] {
                  Front.Answers.push_back("/dev/full");
                  RunExportFlow(Front);
              }),
              std::make_pair(112, std::string("I/O error 112")));
    ExpectExportStillWorks();
}

TEST_F(ExportFaultsTest, ImmutableTargetIsDeniedEvenToRoot)
{
    WriteFile(fFolder / "cat.csv", {'o', 'l', 'd'});
    if (!SetImmutable(fFolder / "cat.csv", true))
        GTEST_SKIP() << "the immutable attribute cannot be set here";
    const auto failure = FailureOf([&] { Export("cat.csv"); });
    const std::vector<std::string> entries = FolderEntries(fFolder);
    SetImmutable(fFolder / "cat.csv", false);
    EXPECT_EQ(failure, std::make_pair(5, std::string("File access denied")));
    EXPECT_EQ(ReadFile(fFolder / "cat.csv"), "old");
    EXPECT_EQ(entries, (std::vector<std::string>{"cat.csv", "cat.png"}));
    ExpectExportStillWorks();
}

TEST_F(ExportFaultsTest, TargetOnAReadOnlyMountIsDenied)
{
    fs::create_directory(fFolder / "source");
    WriteFile(fFolder / "source" / "cat.csv", {'o', 'l', 'd'});
    TMount readOnly(fFolder / "readonly", (fFolder / "source").c_str(), nullptr, MS_BIND, nullptr);
    if (!readOnly.Mounted() || !readOnly.Remount(MS_BIND | MS_RDONLY))
        GTEST_SKIP() << "no read-only bind mount can be made here";
    EXPECT_EQ(FailureOf([&] { Export("readonly/cat.csv"); }), std::make_pair(5, std::string("File access denied")));
    EXPECT_EQ(ReadFile(fFolder / "source" / "cat.csv"), "old");
    EXPECT_EQ(FolderEntries(fFolder / "source"), std::vector<std::string>{"cat.csv"});
    ExpectExportStillWorks();
}

// Opening a pipe for writing would wait for a reader for ever.
TEST_F(ExportFaultsTest, PipeIsRefusedWithoutWaiting)
{
    ASSERT_EQ(mkfifo((fFolder / "pipe.csv").c_str(), 0644), 0);
    EXPECT_EQ(FailureOf([&] { Export("pipe.csv"); }), std::make_pair(105, std::string("I/O error 105")));
    EXPECT_TRUE(fs::is_fifo(fFolder / "pipe.csv"));
    ExpectExportStillWorks();
}


} // namespace
} // namespace pix::testing
