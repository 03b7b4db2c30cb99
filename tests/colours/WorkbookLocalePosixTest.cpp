#include "colours/ColorTable.h"
#include "colours/CsvExport.h"
#include "colours/NumberedTable.h"
#include "colours/WorkbookExport.h"
#include "platform/OutputFile.h"
#include "tests/colours/ColourPicture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace pix {
namespace {

using testing::CyclingPicture;
using testing::ReadFile;
using testing::TTempFolder;
using testing::Utf8;

// The window takes the user's locale; a workbook written there must be the
// one written in the C locale, with "22.5" and not "22,5" in it.
TEST(WorkbookBytes, TheSameInALocaleWithADecimalComma)
{
    const TTempFolder folder("pix-workbook-locale");
    const std::string locales = Utf8(folder / "locales");
    std::filesystem::create_directory(folder / "locales");
    const std::string make = "localedef -i uk_UA -f UTF-8 '" + locales + "/uk_UA.UTF-8' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0)
        GTEST_SKIP() << "no locale with a decimal comma can be made here";
    setenv("LOCPATH", locales.c_str(), 1);
    const TPNGGraphic bitmap = CyclingPicture(30, 20, 300);
    TColorTable table;
    ASSERT_TRUE(NumberColours(bitmap, table));
    const TNumberedTable numbered(bitmap, table);
    const auto write = [&](const char* name) {
        TReplacementFile file(Utf8(folder / name));
        ASSERT_TRUE(TWorkbookTableWriter().Write(numbered, file, {}));
        file.Commit();
    };
    write("classic.xlsx");
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const bool commaLocale = std::setlocale(LC_NUMERIC, "uk_UA.UTF-8") != nullptr;
    write("comma.xlsx");
    std::setlocale(LC_NUMERIC, saved.c_str());
    unsetenv("LOCPATH");
    ASSERT_TRUE(commaLocale);
    EXPECT_TRUE(ReadFile(folder / "comma.xlsx") == ReadFile(folder / "classic.xlsx"));
}

} // namespace
} // namespace pix
