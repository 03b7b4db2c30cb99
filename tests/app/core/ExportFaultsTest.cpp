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
    WriteFile(fFolder / "big.png", EncodePng(TSampleImage::Random(600, 500, 8, 2, 5), false));
    WriteFile(fFolder / "big.csv", {'o', 'l', 'd'});
    Load("big.png");
    const std::size_t dialogsBefore = Front.Seen.size();
    Front.CancelPass = label;
    Export("big.csv");
    Front.CancelPass.clear();
    EXPECT_EQ(Front.Cancels, 1);
    Front.Answers.clear(); // the save dialog's answer, when the first pass never got there
    EXPECT_EQ(Front.Seen.size() - dialogsBefore, dialogs);
    EXPECT_EQ(ReadFile(fFolder / "big.csv"), "old");
    EXPECT_EQ(FolderEntries(fFolder), (std::vector<std::string>{"big.csv", "big.png", "cat.png"}));
    EXPECT_TRUE(ImageLoaded);

    Export("big.csv");
    EXPECT_EQ(ReadFile(fFolder / "big.csv"), ConvertedByPixCsv(PathText("big.png")));
}

namespace {

TEST_F(ExportFaultsTest, FolderRemovedAfterTheDialogIsAnInvalidName)
{
    fs::create_directory(fFolder / "gone");
    EXPECT_EQ(FailureOf([&] { ExportWith("gone/cat.csv", [&] { fs::remove_all(fFolder / "gone"); }); }),
              std::make_pair(3, std::string("Invalid filename")));
    EXPECT_FALSE(fs::exists(fFolder / "gone"));
    ExpectExportStillWorks();
}

TEST_F(ExportFaultsTest, TargetReplacedByAFolderAfterTheDialogIsDenied)
{
    WriteFile(fFolder / "cat.csv", {'o', 'l', 'd'});
    EXPECT_EQ(FailureOf([&] {
                  ExportWith("cat.csv", [&] {
                      fs::remove(fFolder / "cat.csv");
                      fs::create_directory(fFolder / "cat.csv");
                  });
              }),
              std::make_pair(5, std::string("File access denied")));
    EXPECT_TRUE(fs::is_directory(fFolder / "cat.csv"));
    ExpectExportStillWorks();
}

TEST_F(ExportFaultsTest, CancelWhileNumberingLeavesThePreviousTable)
{
    CancelPassAndExportAgain("Нумерація кольорів...", 0);
}

TEST_F(ExportFaultsTest, CancelWhileWritingLeavesThePreviousTable)
{
    CancelPassAndExportAgain("Запис таблиці...", 1);
}

} // namespace
} // namespace pix::testing
