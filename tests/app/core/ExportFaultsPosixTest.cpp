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

// Exports a width x height picture onto a 256 KiB disk that holds the
// previous table: the export fails as the disk is full and leaves that
// table and nothing else.
void ExportFaultsTest::ExpectFullDiskKeepsThePreviousTable(uint32_t width, uint32_t height)
{
    const fs::path small = fFolder / "small";
    TMount disk(small, "tmpfs", "tmpfs", 0, "size=256k");
    if (!disk.Mounted())
        GTEST_SKIP() << "no file system can be mounted here";
    const std::string table = Table("big");
    WriteFile(small / table, {'o', 'l', 'd'});
    WriteFile(fFolder / "big.png", EncodePng(TSampleImage::Random(width, height, 8, 0, 7), false));
    Load("big.png");
    EXPECT_EQ(FailureOf([&] { Export("small/" + table); }), std::make_pair(112, std::string("I/O error 112")));
    EXPECT_EQ(ReadFile(small / table), "old");
    EXPECT_EQ(FolderEntries(small), std::vector<std::string>{table});
}

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
// own test); through the window the failure is shown and the next export
// works. The device's name asks for a CSV.
TEST_P(ExportFaultsTest, FullDeviceFailsAtTheFirstBlock)
{
    EXPECT_EQ(FailureOf([&] {
                  Front.Answers.push_back("/dev/full");
                  RunExportFlow(Front);
              }),
              std::make_pair(112, std::string("I/O error 112")));
    ExpectExportStillWorks();
}

TEST_P(ExportFaultsTest, DiskFullWhileWritingKeepsThePreviousTable)
{
    ExpectFullDiskKeepsThePreviousTable(400, 300);
}

// The workbook's rows go to scratch files before the package is put
// together; the library does not look at those writes, and a disk that
// fills up with them has room again for a short package once they go: rows
// of about 300 KiB of text, a package of about 20 KiB.
class WorkbookFaultsTest : public ExportFaultsTest {};

TEST_P(WorkbookFaultsTest, ScratchFilesFillingTheDiskFailInsteadOfCuttingTheTable)
{
    ExpectFullDiskKeepsThePreviousTable(80, 80);
}

INSTANTIATE_TEST_SUITE_P(Workbook, WorkbookFaultsTest, ::testing::Values(".xlsx"));

TEST_P(ExportFaultsTest, ImmutableTargetIsDeniedEvenToRoot)
{
    WriteFile(fFolder / Table("cat"), {'o', 'l', 'd'});
    if (!SetImmutable(fFolder / Table("cat"), true))
        GTEST_SKIP() << "the immutable attribute cannot be set here";
    const auto failure = FailureOf([&] { Export(Table("cat")); });
    const std::vector<std::string> entries = FolderEntries(fFolder);
    SetImmutable(fFolder / Table("cat"), false);
    EXPECT_EQ(failure, std::make_pair(5, std::string("File access denied")));
    EXPECT_EQ(ReadFile(fFolder / Table("cat")), "old");
    EXPECT_EQ(entries, SortedNames({Table("cat"), "cat.png"}));
    ExpectExportStillWorks();
}

TEST_P(ExportFaultsTest, TargetOnAReadOnlyMountIsDenied)
{
    fs::create_directory(fFolder / "source");
    WriteFile(fFolder / "source" / Table("cat"), {'o', 'l', 'd'});
    TMount readOnly(fFolder / "readonly", (fFolder / "source").c_str(), nullptr, MS_BIND, nullptr);
    if (!readOnly.Mounted() || !readOnly.Remount(MS_BIND | MS_RDONLY))
        GTEST_SKIP() << "no read-only bind mount can be made here";
    EXPECT_EQ(FailureOf([&] { Export("readonly/" + Table("cat")); }),
              std::make_pair(5, std::string("File access denied")));
    EXPECT_EQ(ReadFile(fFolder / "source" / Table("cat")), "old");
    EXPECT_EQ(FolderEntries(fFolder / "source"), std::vector<std::string>{Table("cat")});
    ExpectExportStillWorks();
}

// Opening a pipe for writing would wait for a reader for ever.
TEST_P(ExportFaultsTest, PipeIsRefusedWithoutWaiting)
{
    ASSERT_EQ(mkfifo((fFolder / Table("pipe")).c_str(), 0644), 0);
    EXPECT_EQ(FailureOf([&] { Export(Table("pipe")); }), std::make_pair(105, std::string("I/O error 105")));
    EXPECT_TRUE(fs::is_fifo(fFolder / Table("pipe")));
    ExpectExportStillWorks();
}

} // namespace
} // namespace pix::testing
