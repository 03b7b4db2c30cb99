// Faults while the window exports, on any platform: the folder or the
// target changed behind the save dialog's back, and a cancel in either
// pass. Each test checks the target afterwards, that no temporary file is
// left beside it, and that the next export still works.

#include "tests/app/core/FlowFixture.h"

namespace pix::testing {

// A cancel in either pass writes nothing: the previous table stays, no
// temporary file is left, and the next export numbers as if none happened.
// dialogs: the file dialogs the cancelled export shows.
void ExportFaultsTest::CancelPassAndExportAgain(const char* label, std::size_t dialogs)
{
    WriteFile(fFolder / "big.png", EncodePng(TSampleImage::Random(600, 500, 8, 0, 5), false));
    WriteFile(fFolder / Table("big"), {'o', 'l', 'd'});
    Load("big.png");
    const std::size_t dialogsBefore = Front.Seen.size();
    Front.CancelPass = label;
    Export(Table("big"));
    Front.CancelPass.clear();
    EXPECT_EQ(Front.Cancels, 1);
    Front.Answers.clear(); // the save dialog's answer, when the first pass never got there
    EXPECT_EQ(Front.Seen.size() - dialogsBefore, dialogs);
    EXPECT_EQ(ReadFile(fFolder / Table("big")), "old");
    EXPECT_EQ(FolderEntries(fFolder), SortedNames({Table("big"), "big.png", "cat.png"}));
    EXPECT_TRUE(ImageLoaded);

    Export(Table("big"));
    EXPECT_TRUE(ReadFile(fFolder / Table("big")) == ConvertedTable("big.png"));
}

namespace {

TEST_P(ExportFaultsTest, FolderRemovedAfterTheDialogIsAnInvalidName)
{
    fs::create_directory(fFolder / "gone");
    EXPECT_EQ(FailureOf([&] { ExportWith("gone/" + Table("cat"), [&] { fs::remove_all(fFolder / "gone"); }); }),
              std::make_pair(3, std::string("Invalid filename")));
    EXPECT_FALSE(fs::exists(fFolder / "gone"));
    ExpectExportStillWorks();
}

TEST_P(ExportFaultsTest, TargetReplacedByAFolderAfterTheDialogIsDenied)
{
    WriteFile(fFolder / Table("cat"), {'o', 'l', 'd'});
    EXPECT_EQ(FailureOf([&] {
                  ExportWith(Table("cat"), [&] {
                      fs::remove(fFolder / Table("cat"));
                      fs::create_directory(fFolder / Table("cat"));
                  });
              }),
              std::make_pair(5, std::string("File access denied")));
    EXPECT_TRUE(fs::is_directory(fFolder / Table("cat")));
    ExpectExportStillWorks();
}

TEST_P(ExportFaultsTest, CancelWhileNumberingLeavesThePreviousTable)
{
    CancelPassAndExportAgain("Нумерація кольорів...", 0);
}

TEST_P(ExportFaultsTest, CancelWhileWritingLeavesThePreviousTable)
{
    CancelPassAndExportAgain("Запис таблиці...", 1);
}

INSTANTIATE_TEST_SUITE_P(CsvAndWorkbook, ExportFaultsTest, ::testing::Values(".csv", ".xlsx"));

} // namespace
} // namespace pix::testing
