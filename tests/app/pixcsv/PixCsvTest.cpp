#include "tests/app/pixcsv/PixCsvFixture.h"
#include "tests/support/SystemTexts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace pix::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(PixCsvTest, WritesBesideTheInputByDefault)
{
    EXPECT_EQ(Run({In("example.png")}), kPixCsvDone);
    EXPECT_EQ(ReadFile(fFolder / "example.csv"), kExampleCsv);
    EXPECT_EQ(fErr.str(), "");
}

TEST_F(PixCsvTest, WritesToTheNamedOutputOrStandardOutput)
{
    EXPECT_EQ(Run({"-o", In("table.txt"), In("example.png")}), kPixCsvDone);
    EXPECT_EQ(ReadFile(fFolder / "table.txt"), kExampleCsv);
    EXPECT_EQ(Run({"--output=-", In("example.png")}), kPixCsvDone);
    EXPECT_EQ(fStdout.Bytes, kExampleCsv);
    EXPECT_FALSE(fs::exists(fFolder / "example.csv"));
}

TEST_F(PixCsvTest, LegendGivesTheColourOfEveryNumber)
{
    EXPECT_EQ(Run({"-q", "--legend", In("key.csv"), "-o", "-", In("example.png")}), kPixCsvDone);
    EXPECT_EQ(ReadFile(fFolder / "key.csv"), "1;#000000;3\r\n2;#FF0000;1\r\n3;#FFFFFF;2\r\n");
    EXPECT_EQ(fStdout.Bytes, kExampleCsv);
}

TEST_F(PixCsvTest, FailedInputIsReportedAndTheOthersStillConverted)
{
    TBytes corrupt = ExamplePng();
    corrupt[20] ^= 0x40; // inside IHDR: its CRC no longer matches
    WriteFile(fFolder / "corrupt.png", corrupt);
    WriteFile(fFolder / "corrupt.csv", "previous");
    WriteFile(fFolder / "other.png", ExamplePng());

    EXPECT_EQ(Run({In("missing.png"), In("corrupt.png"), In("other.png")}), kPixCsvFailed);
    EXPECT_EQ(fErr.str(),
              "pixcsv: " + In("missing.png") + ": Cannot open file \"" + In("missing.png")
                  + "\". " + MissingFileText() + ".\n"
                  "pixcsv: " + In("corrupt.png") + ": This \"Portable Network Graphics\" image is not valid because "
                  "it contains invalid pieces of data (crc error)\n"); // ")" takes no full stop
    EXPECT_FALSE(fs::exists(fFolder / "missing.csv"));
    EXPECT_EQ(ReadFile(fFolder / "corrupt.csv"), "previous");
    EXPECT_EQ(ReadFile(fFolder / "other.csv"), kExampleCsv);
}

TEST_F(PixCsvTest, PictureThatCannotBeDrawnWritesNothing)
{
    TPngWriter writer;
    writer.Signature()
        .IHDR(2, 1, 8, 3)
        .Chunk("PLTE", {1, 2, 3})
        .Chunk("tRNS", {9, 9})
        .IDAT(ZlibCompress({0, 0, 4}))
        .IEND();
    WriteFile(fFolder / "palette.png", writer.Bytes());
    EXPECT_EQ(Run({In("palette.png")}), kPixCsvFailed);
    EXPECT_EQ(fErr.str(), "pixcsv: " + In("palette.png") + ": There is no such palette entry.\n");
    EXPECT_FALSE(fs::exists(fFolder / "palette.csv"));
}

// A workbook as the output name asks (its own reader checks what it holds),
// or, for a batch, beside every input.
TEST_F(PixCsvTest, WorkbookFollowsTheOutputsExtension)
{
    fs::copy_file(fFolder / "example.png", fFolder / "second.png");
    EXPECT_EQ(Run({"--xlsx", In("example.png"), In("second.png")}), kPixCsvDone);
    EXPECT_EQ(Run({"-o", In("named.XLSX"), In("example.png")}), kPixCsvDone);
    EXPECT_EQ(fErr.str(), "");
    const std::string workbook = ReadFile(fFolder / "example.xlsx");
    EXPECT_EQ(workbook.substr(0, 2), "PK");
    EXPECT_TRUE(ReadFile(fFolder / "second.xlsx") == workbook);
    EXPECT_TRUE(ReadFile(fFolder / "named.XLSX") == workbook);
    EXPECT_EQ(FolderEntries(fFolder),
              SortedNames({"example.png", "example.xlsx", "named.XLSX", "second.png", "second.xlsx"}));
}

TEST_F(PixCsvTest, PictureBeyondAWorkbooksLimitsFailsBeforeAnythingIsWritten)
{
    WriteFile(fFolder / "wide.png", EncodePng(TSampleImage{16385, 1, 8, 0, std::vector<uint16_t>(16385)}, false));
    WriteFile(fFolder / "wide.xlsx", "previous");
    EXPECT_EQ(Run({"--xlsx", "--legend", In("key.csv"), In("wide.png")}), kPixCsvFailed);
    EXPECT_EQ(fErr.str(), "pixcsv: " + In("wide.png")
                              + ": A workbook holds at most 16384 columns; the picture is 16385 pixels wide.\n");
    EXPECT_EQ(ReadFile(fFolder / "wide.xlsx"), "previous");
    EXPECT_EQ(FolderEntries(fFolder), SortedNames({"example.png", "wide.png", "wide.xlsx"}));
    EXPECT_EQ(Run({In("wide.png")}), kPixCsvDone) << "the CSV has no such limit";
}

TEST_F(PixCsvTest, InterruptLeavesNoOutput)
{
    fInterrupted = 1;
    EXPECT_EQ(Run({In("example.png")}), kPixCsvInterrupted);
    EXPECT_FALSE(fs::exists(fFolder / "example.csv"));
}

struct UsageCase {
    std::vector<std::string> arguments;
    const char* problem;
};

void PrintTo(const UsageCase& c, std::ostream* os)
{
    *os << c.problem;
}

class PixCsvUsageTest : public PixCsvTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(PixCsvUsageTest, WrongCommandLineShowsUsageAndExitsTwo)
{
    EXPECT_EQ(Run(GetParam().arguments), kPixCsvUsage);
    EXPECT_EQ(fErr.str().substr(0, fErr.str().find('\n')), std::string("pixcsv: ") + GetParam().problem);
    EXPECT_NE(fErr.str().find("usage: pixcsv"), std::string::npos);
    EXPECT_EQ(fOut.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, PixCsvUsageTest,
    ::testing::Values(UsageCase{{}, "no input file"}, UsageCase{{"-q"}, "no input file"},
                      UsageCase{{"-x", "a.png"}, "unknown option -x"},
                      UsageCase{{"a.png", "-o"}, "option -o needs a value"},
                      UsageCase{{"-o", "t.csv", "a.png", "b.png"}, "-o and --legend take one input only"},
                      UsageCase{{"--legend", "k.csv", "a.png", "b.png"}, "-o and --legend take one input only"},
                      UsageCase{{"-o", "-", "--legend", "-", "a.png"},
                                "the table and the legend cannot both go to standard output"},
                      UsageCase{{"--xlsx", "-o", "-", "a.png"}, "a workbook needs a file, not standard output"},
                      UsageCase{{"--xlsx", "-o", "t.xlsx", "a.png"},
                                "--xlsx and -o both name the output; give one of them"}));

TEST_F(PixCsvTest, HelpAndVersionGoToStandardOutput)
{
    EXPECT_EQ(Run({"--help"}), kPixCsvDone);
    EXPECT_EQ(fOut.str().rfind("usage: pixcsv [-o OUTPUT | --xlsx]", 0), 0u);
    EXPECT_EQ(Run({"--version"}), kPixCsvDone);
    EXPECT_EQ(fOut.str(), "pixcsv " PIXELIZER_VERSION "\n");
}

TEST_F(PixCsvTest, DoubleDashEndsOptions)
{
    fs::copy_file(fFolder / "example.png", fFolder / "-q.png");
    const fs::path previous = fs::current_path();
    fs::current_path(fFolder);
    const int status = Run({"--", "-q.png"});
    fs::current_path(previous);
    EXPECT_EQ(status, kPixCsvDone);
    EXPECT_EQ(ReadFile(fFolder / "-q.csv"), kExampleCsv);
}

} // namespace
} // namespace pix::testing
