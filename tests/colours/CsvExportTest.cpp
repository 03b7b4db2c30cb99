#include "colours/ColorTable.h"
#include "colours/CsvExport.h"
#include "colours/NumberedTable.h"
#include "colours/DecimalText.h"
#include "platform/OutputFile.h"
#include "graphics/Bitmap32.h"
#include "graphics/PngGraphic.h"
#include "tests/colours/StringSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace pix {
namespace {

using testing::TStringSink;

constexpr int32_t kBlackValue = 0;
constexpr int32_t kRedValue = 255;
constexpr int32_t kWhiteValue = 0xFFFFFF;

// A work bitmap whose pixel (x, y) has colour value values[y * width + x].
TPNGGraphic Picture(int width, int height, const std::vector<int32_t>& values)
{
    TBitmap32 picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int32_t value = values[static_cast<std::size_t>(y * width + x)];
            uint8_t* pixel = picture.Row(y) + x * 4;
            pixel[kRed] = static_cast<uint8_t>(value);
            pixel[kGreen] = static_cast<uint8_t>(value >> 8);
            pixel[kBlue] = static_cast<uint8_t>(value >> 16);
            pixel[kAlpha] = static_cast<uint8_t>(x * 37); // alpha never counts
        }
    TPNGGraphic bitmap;
    bitmap.AssignPicture32(picture);
    return bitmap;
}

class CsvExportTest : public ::testing::Test {
protected:
    TColorTable ColorTable;

    std::string Export(const TBitmap& bitmap)
    {
        EXPECT_TRUE(NumberColours(bitmap, ColorTable));
        TStringSink sink;
        EXPECT_TRUE(WriteCsv(bitmap, ColorTable, sink));
        return sink.Bytes;
    }
};

TEST_F(CsvExportTest, ThreeByTwoExampleIsSixteenBytes)
{
    const TPNGGraphic bitmap = Picture(3, 2, {kWhiteValue, kBlackValue, kWhiteValue, kBlackValue, kBlackValue, kRedValue});
    EXPECT_EQ(Export(bitmap), "3;1;3;\r\n1;1;2;\r\n");
}

TEST_F(CsvExportTest, OneColourGivesOnesOnEveryLine)
{
    const TPNGGraphic bitmap = Picture(4, 3, std::vector<int32_t>(12, 0x123456));
    EXPECT_EQ(Export(bitmap), "1;1;1;1;\r\n1;1;1;1;\r\n1;1;1;1;\r\n");
    EXPECT_EQ(ColorTable.ColorCount(), 1);
}

TEST_F(CsvExportTest, SmallerValueIsOneEvenWhenMetLast)
{
    const TPNGGraphic bitmap = Picture(2, 1, {kWhiteValue, kBlackValue});
    EXPECT_EQ(Export(bitmap), "2;1;\r\n");
}

TEST_F(CsvExportTest, SecondExportWithoutResetGivesTheSameBytes)
{
    const TPNGGraphic bitmap = Picture(3, 2, {kWhiteValue, kBlackValue, kWhiteValue, kBlackValue, kBlackValue, kRedValue});
    const std::string first = Export(bitmap);
    EXPECT_EQ(Export(bitmap), first);
    EXPECT_EQ(ColorTable.ColorCount(), 3);
}

TEST_F(CsvExportTest, CancelledNumberingCompletesToTheSameNumbers)
{
    // Wide enough for several progress reports within one row.
    const int width = 200000;
    std::vector<int32_t> values(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        values[static_cast<std::size_t>(x)] = (width - x) % 1000;
    const TPNGGraphic bitmap = Picture(width, 1, values);

    int reports = 0;
    EXPECT_FALSE(NumberColours(bitmap, ColorTable, [&](int64_t done, int64_t total) {
        EXPECT_EQ(total, width);
        EXPECT_LE(done, total);
        return ++reports < 2;
    }));
    EXPECT_EQ(reports, 2);
    const std::string resumed = Export(bitmap);
    ColorTable.Reset();
    EXPECT_EQ(Export(bitmap), resumed);
}

TEST_F(CsvExportTest, CancelledWritingReportsIt)
{
    const TPNGGraphic bitmap = Picture(2, 2, {kWhiteValue, kBlackValue, kRedValue, kRedValue});
    ASSERT_TRUE(NumberColours(bitmap, ColorTable));
    TStringSink sink;
    EXPECT_FALSE(WriteCsv(bitmap, ColorTable, sink, [](int64_t, int64_t) { return false; }));
}

TEST_F(CsvExportTest, RowWiderThanAProgressStepEndsOnce)
{
    const int width = 70000;
    std::vector<int32_t> values(static_cast<std::size_t>(width) * 2, kBlackValue);
    values.back() = kWhiteValue;
    const TPNGGraphic bitmap = Picture(width, 2, values);
    std::string row;
    for (int x = 0; x < width; ++x)
        row += "1;";
    EXPECT_EQ(Export(bitmap), row + "\r\n" + row.substr(0, row.size() - 2) + "2;\r\n");
}

// Checks a long output as it streams in, so it never needs to be held.
class ExpectedSink : public TByteSink {
public:
    explicit ExpectedSink(std::function<void(std::string&)> nextLine) : fNextLine(std::move(nextLine)) {}
    void Write(const char* data, std::size_t size) override
    {
        Blocks++;
        for (std::size_t i = 0; i < size; ++i) {
            if (fPosition == fExpected.size()) {
                fExpected.clear();
                fPosition = 0;
                fNextLine(fExpected);
            }
            if (data[i] != fExpected[fPosition++]) {
                ++Mismatches;
                return;
            }
        }
    }
    bool AtLineEnd() const { return fPosition == fExpected.size(); }
    int Mismatches = 0;
    int Blocks = 0;

private:
    std::function<void(std::string&)> fNextLine;
    std::string fExpected;
    std::size_t fPosition = 0;
};

TEST(DecimalTextTest, EveryLengthAndEveryDigit)
{
    // Numbers of every length, with zeros and nines inside, and each length's ends.
    for (uint32_t n = 1, power = 1; n < 100000000; n = n * 3 + n % 7, power = std::min(power * 10, 10000000u)) {
        for (const uint32_t m : {n, n + 9 - n % 10, power, power * 10 - 1}) {
            char text[16];
            std::memset(text, 'x', sizeof text);
            const char* end = AppendCell(text, m);
            ASSERT_EQ(std::string(text, static_cast<std::size_t>(end - text)), std::to_string(m) + ";");
        }
    }

    std::vector<uint32_t> numbers{0, 16777215, 16777216, 4294967295u};
    for (uint32_t power = 1; power <= 100000000; power *= 10)
        for (const uint32_t n : {power - 1, power, power + 1, power * 9 + power / 2, power * 2 + 34})
            numbers.push_back(n);
    for (uint32_t n = 0; n < 20000; n += 7)
        numbers.push_back(n * 131);
    for (const uint32_t n : numbers) {
        char text[16];
        char* start = FormatDecimal(n, text + sizeof text);
        ASSERT_EQ(std::string(start, text + sizeof text), std::to_string(n));
    }
}

TEST_F(CsvExportTest, HalfAMillionColoursStreamInBlocks)
{
    // Every colour distinct, the largest value first, so the numbers run
    // down to 1 and need the sort; the text spans several blocks.
    const int side = 700;
    const int32_t count = side * side;
    TBitmap32 picture(side, side);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t value = count - 1 - i;
        uint8_t* pixel = picture.Bits() + static_cast<std::size_t>(i) * 4;
        pixel[kRed] = static_cast<uint8_t>(value);
        pixel[kGreen] = static_cast<uint8_t>(value >> 8);
        pixel[kBlue] = static_cast<uint8_t>(value >> 16);
    }
    TPNGGraphic bitmap;
    bitmap.AssignPicture32(picture);
    picture = TBitmap32();

    ASSERT_TRUE(NumberColours(bitmap, ColorTable));
    ASSERT_EQ(ColorTable.ColorCount(), count);
    int y = 0;
    ExpectedSink sink([&](std::string& line) {
        for (int x = 0; x < side; ++x)
            line += std::to_string(count - (y * side + x)) + ";";
        line += "\r\n";
        ++y;
    });
    ASSERT_TRUE(WriteCsv(bitmap, ColorTable, sink));
    EXPECT_EQ(sink.Mismatches, 0);
    EXPECT_EQ(y, side);
    EXPECT_TRUE(sink.AtLineEnd());
    EXPECT_GT(sink.Blocks, 1);
}

// Big enough for several bands of rows, formatted on two threads.
TPNGGraphic ManyColouredPicture()
{
    const int width = 1000;
    const int height = 600;
    std::vector<int32_t> values(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int32_t>((i * 2654435761u) & 0xFFFFFF);
    return Picture(width, height, values);
}

TEST_F(CsvExportTest, CancelOrFailureAmidTheBandsEndsTheSecondPass)
{
    const TPNGGraphic bitmap = ManyColouredPicture();
    ASSERT_TRUE(NumberColours(bitmap, ColorTable));
    TStringSink sink;
    int reports = 0;
    int64_t lastDone = 0;
    EXPECT_FALSE(WriteCsv(bitmap, ColorTable, sink, [&](int64_t done, int64_t total) {
        EXPECT_EQ(total, int64_t{1000} * 600);
        EXPECT_GT(done, lastDone);
        lastDone = done;
        return ++reports < 2;
    }));
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(sink.Bytes.size(), sink.Bytes.rfind("\r\n") + 2) << "only whole bands are written";

    class TFailingSink : public TByteSink {
    public:
        void Write(const char*, std::size_t) override { throw std::runtime_error("disk full"); }
    } failing;
    EXPECT_THROW(WriteCsv(bitmap, ColorTable, failing), std::runtime_error);

    // Whatever the threads did before, a complete pass gives the whole text.
    TStringSink complete;
    ASSERT_TRUE(WriteCsv(bitmap, ColorTable, complete));
    EXPECT_EQ(complete.Bytes.compare(0, sink.Bytes.size(), sink.Bytes), 0);
    EXPECT_EQ(std::count(complete.Bytes.begin(), complete.Bytes.end(), '\n'), 600);
}

TEST_F(CsvExportTest, LegendListsEveryNumberWithItsColourAndPixels)
{
    const TPNGGraphic bitmap = Picture(5, 1, {0x0A0B0C, kWhiteValue, kRedValue, 0x00FF00, kWhiteValue});
    ASSERT_TRUE(NumberColours(bitmap, ColorTable));
    TStringSink sink;
    WriteLegend(TNumberedTable(bitmap, ColorTable), sink);
    EXPECT_EQ(sink.Bytes, "1;#FF0000;1\r\n2;#00FF00;1\r\n3;#0C0B0A;1\r\n4;#FFFFFF;2\r\n");
}

} // namespace
} // namespace pix
