#include "colours/CsvFileName.h"
#include "platform/FileNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

void ExpectDerived(const NameCase& c)
{
    const std::string csv = CsvFileName(c.picture);
    EXPECT_EQ(csv, c.csv);
    EXPECT_EQ(DialogFolder(FolderPart(csv)), c.dialogFolder);
    EXPECT_EQ(FilePart(csv), c.dialogFile);
    // A derived name derives itself again, so a second export proposes it.
    EXPECT_EQ(CsvFileName(csv), csv);
}

// A name as POSIX writes it; on Windows the same name on drive C:.
std::string Native(std::string name)
{
#ifdef _WIN32
    if (name.starts_with('/'))
        name.insert(0, "C:");
    std::replace(name.begin(), name.end(), '/', '\\');
#endif
    return name;
}

class EveryPlatform : public ::testing::TestWithParam<NameCase> {};

TEST_P(EveryPlatform, DerivesNameFolderAndFile)
{
    const NameCase& c = GetParam();
    const std::string names[] = {Native(c.picture), Native(c.csv), Native(c.dialogFolder), Native(c.dialogFile)};
    ExpectDerived({names[0].c_str(), names[1].c_str(), names[2].c_str(), names[3].c_str()});
}

INSTANTIATE_TEST_SUITE_P(CsvFileName, EveryPlatform,
    ::testing::Values(NameCase{"/pics/cat.png", "/pics/cat.csv", "/pics", "cat.csv"},
                      NameCase{"/pics/archive.tar.png", "/pics/archive.tar.csv", "/pics", "archive.tar.csv"},
                      NameCase{"/my.pics/cat", "/my.pics/cat.csv", "/my.pics", "cat.csv"},
                      NameCase{"/pics/.png", "/pics/.csv", "/pics", ".csv"},
                      NameCase{"/pics/cat.", "/pics/cat.csv", "/pics", "cat.csv"},
                      NameCase{"/cat.png", "/cat.csv", "/", "cat.csv"},
                      NameCase{"cat.png", "cat.csv", "", "cat.csv"},
                      NameCase{"", ".csv", "", ".csv"}));

class ThisPlatform : public ::testing::TestWithParam<NameCase> {};

TEST_P(ThisPlatform, DerivesNameFolderAndFile)
{
    ExpectDerived(GetParam());
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Windows, ThisPlatform,
    ::testing::Values(NameCase{"C:cat.png", "C:cat.csv", "C:", "cat.csv"},
                      NameCase{"C:\\a/b.png", "C:\\a/b.csv", "C:\\", "a/b.csv"},
                      NameCase{"D:\\", "D:\\.csv", "D:\\", ".csv"},
                      NameCase{"\\\\server\\share\\cat.png", "\\\\server\\share\\cat.csv", "\\\\server\\share", "cat.csv"}));
#else
// A backslash is a character of the name, not a separator.
INSTANTIATE_TEST_SUITE_P(Posix, ThisPlatform,
    ::testing::Values(NameCase{"C:\\pics\\cat.png", "C:\\pics\\cat.csv", "", "C:\\pics\\cat.csv"}));
#endif

} // namespace
} // namespace pix
