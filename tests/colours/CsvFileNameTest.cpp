#include "colours/CsvFileName.h"

#include <gtest/gtest.h>

namespace pix {
namespace {

struct NameCase {
    const char* picture;
    const char* csv;
    const char* dialogFolder;
    const char* dialogFile;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << '"' << c.picture << '"';
}

class CsvFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(CsvFileNameTest, DerivesNameFolderAndFile)
{
    const NameCase& c = GetParam();
    const std::string csv = CsvFileName(c.picture);
    EXPECT_EQ(csv, c.csv);
    EXPECT_EQ(DialogFolder(FolderPart(csv)), c.dialogFolder);
    EXPECT_EQ(FilePart(csv), c.dialogFile);
    // A derived name derives itself again, so a second export proposes it.
    EXPECT_EQ(CsvFileName(csv), csv);
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Windows, CsvFileNameTest,
    ::testing::Values(NameCase{"C:\\Pics\\cat.png", "C:\\Pics\\cat.csv", "C:\\Pics", "cat.csv"},
                      NameCase{"C:\\cat.png", "C:\\cat.csv", "C:\\", "cat.csv"},
                      NameCase{"C:cat.png", "C:cat.csv", "C:", "cat.csv"},
                      NameCase{"C:\\my.pics\\cat", "C:\\my.pics\\cat.csv", "C:\\my.pics", "cat.csv"},
                      NameCase{"C:\\a/b.png", "C:\\a/b.csv", "C:\\", "a/b.csv"},
                      NameCase{"C:\\Pics\\archive.tar.png", "C:\\Pics\\archive.tar.csv", "C:\\Pics", "archive.tar.csv"},
                      NameCase{"C:\\Pics\\.png", "C:\\Pics\\.csv", "C:\\Pics", ".csv"},
                      NameCase{"D:\\", "D:\\.csv", "D:\\", ".csv"},
                      NameCase{"\\\\server\\share\\cat.png", "\\\\server\\share\\cat.csv", "\\\\server\\share", "cat.csv"},
                      NameCase{"cat.png", "cat.csv", "", "cat.csv"}));
#else
INSTANTIATE_TEST_SUITE_P(Posix, CsvFileNameTest,
    ::testing::Values(NameCase{"/pics/cat.png", "/pics/cat.csv", "/pics", "cat.csv"},
                      NameCase{"/pics/archive.tar.png", "/pics/archive.tar.csv", "/pics", "archive.tar.csv"},
                      NameCase{"/pics/cat", "/pics/cat.csv", "/pics", "cat.csv"},
                      NameCase{"/my.pics/cat", "/my.pics/cat.csv", "/my.pics", "cat.csv"},
                      NameCase{"/pics/.png", "/pics/.csv", "/pics", ".csv"},
                      NameCase{"/cat.png", "/cat.csv", "/", "cat.csv"},
                      NameCase{"cat.png", "cat.csv", "", "cat.csv"},
                      NameCase{"C:\\pics\\cat.png", "C:\\pics\\cat.csv", "", "C:\\pics\\cat.csv"},
                      NameCase{"/pics/cat.", "/pics/cat.csv", "/pics", "cat.csv"},
                      NameCase{"", ".csv", "", ".csv"}));
#endif

} // namespace
} // namespace pix
