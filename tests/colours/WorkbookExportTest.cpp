// The workbook writer's own rules: which names ask for it, what it refuses
// before writing, the digits' colour. What the workbook holds is read back
// by an independent reader in tests/workbook.

#include "colours/ColorTable.h"
#include "colours/CsvExport.h"
#include "colours/NumberedTable.h"
#include "colours/WorkbookExport.h"
#include "graphics/PngGraphic.h"
#include "tests/colours/ColourPicture.h"

#include <gtest/gtest.h>

#include <string>

namespace pix {
namespace {

using testing::CyclingPicture;

// The message CheckLimits gives for a picture, empty when it fits.
std::string LimitMessage(int width, int height, int colours)
{
    const TPNGGraphic bitmap = CyclingPicture(width, height, colours);
    TColorTable table;
    EXPECT_TRUE(NumberColours(bitmap, table));
    try {
        TWorkbookTableWriter().CheckLimits(TNumberedTable(bitmap, table));
    } catch (const EWorkbookLimit& limit) {
        return limit.what();
    }
    return {};
}

TEST(WorkbookNames, TheExtensionDecidesInAnyCase)
{
    for (const char* name : {"a.xlsx", "a.XLSX", "dir.csv/a.Xlsx", ".xlsx"})
        EXPECT_TRUE(IsWorkbookName(name)) << name;
    for (const char* name : {"a.csv", "a.xlsx.csv", "xlsx", "a.xls", "a.xlsx "})
        EXPECT_FALSE(IsWorkbookName(name)) << name;
    EXPECT_EQ(WorkbookFileName("my.pics/cat.png"), "my.pics/cat.xlsx");
    EXPECT_EQ(WorkbookFileName("cat"), "cat.xlsx");
}

TEST(WorkbookLimits, EachLimitIsNamedAndItsEdgeFits)
{
    EXPECT_EQ(LimitMessage(16384, 1, 1), "");
    EXPECT_EQ(LimitMessage(16385, 1, 1), "A workbook holds at most 16384 columns; the picture is 16385 pixels wide");
    EXPECT_EQ(LimitMessage(1, 1048576, 1), "");
    EXPECT_EQ(LimitMessage(1, 1048577, 1), "A workbook holds at most 1048576 rows; the picture is 1048577 pixels high");
    EXPECT_EQ(LimitMessage(256, 250, 63998), "");
    EXPECT_EQ(LimitMessage(256, 250, 63999),
              "A workbook holds at most 63998 colours, one cell format each; the picture has 63999");
}

// Pinned where the two contrast ratios cross: grey 117 is just darker than
// the luminance at which black and white digits contrast alike.
TEST(WorkbookDigits, WhiteOrBlackWhicheverContrastsMore)
{
    for (const int32_t dark : {0x000000, 0x757575, 0xFF0000, 0x800080})
        EXPECT_TRUE(WhiteDigitsOn(dark)) << std::hex << dark;
    for (const int32_t light : {0xFFFFFF, 0x767676, 0x0000FF, 0x00FF00, 0xFFFF00})
        EXPECT_FALSE(WhiteDigitsOn(light)) << std::hex << light;
}

} // namespace
} // namespace pix
