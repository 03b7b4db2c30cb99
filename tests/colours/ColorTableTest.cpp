#include "colours/ColorTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_map>
#include <vector>

namespace pix {
namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 255;
constexpr int32_t kGreen = 255 << 8;
constexpr int32_t kBlue = 255 << 16;

// The table's meaning in its plainest form: numbers in first-met order,
// renumbered by value when sorted.
class NaiveTable {
public:
    int32_t FindOrAdd(int32_t value)
    {
        const auto [at, added] = fNumbers.try_emplace(value, static_cast<int32_t>(fEntries.size()) + 1);
        if (added)
            fEntries.push_back(value);
        return at->second;
    }
    void Sort()
    {
        std::sort(fEntries.begin(), fEntries.end());
        for (std::size_t i = 0; i < fEntries.size(); ++i)
            fNumbers[fEntries[i]] = static_cast<int32_t>(i) + 1;
    }
    const std::vector<int32_t>& Entries() const { return fEntries; }

private:
    std::vector<int32_t> fEntries;
    std::unordered_map<int32_t, int32_t> fNumbers;
};

class ColorTableTest : public ::testing::Test {
protected:
    // One table for the whole suite, as the program has one: its slots are
    // 64 MiB of address space, and reuse across resets is what is tested.
    static TColorTable& Table()
    {
        static TColorTable table;
        return table;
    }
    void SetUp() override { Table().Reset(); }
};

TEST_F(ColorTableTest, NumbersFollowFirstMetOrderUntilSorted)
{
    TColorTable& table = Table();
    EXPECT_EQ(table.FindOrAddColor(kWhite), 1);
    EXPECT_EQ(table.FindOrAddColor(kWhite), 1);
    EXPECT_EQ(table.FindOrAddColor(0), 2);
    EXPECT_EQ(table.ColorCount(), 2);

    table.SortColors();
    EXPECT_EQ(table.FindOrAddColor(0), 1);
    EXPECT_EQ(table.FindOrAddColor(kWhite), 2);
    EXPECT_EQ(table.ColorCount(), 2);
}

TEST_F(ColorTableTest, SortOrdersByBlueThenGreenThenRed)
{
    TColorTable& table = Table();
    for (int32_t value : {kBlue, kGreen, kRed})
        table.FindOrAddColor(value);
    table.SortColors();
    EXPECT_EQ(table.FindOrAddColor(kRed), 1);
    EXPECT_EQ(table.FindOrAddColor(kGreen), 2);
    EXPECT_EQ(table.FindOrAddColor(kBlue), 3);
    EXPECT_EQ(table.ColorCount(), 3);
}

TEST_F(ColorTableTest, EmptyAndSingleColourTablesAreUnchangedBySort)
{
    TColorTable& table = Table();
    table.SortColors();
    EXPECT_EQ(table.ColorCount(), 0);

    table.FindOrAddColor(12345);
    table.SortColors();
    EXPECT_EQ(table.ColorCount(), 1);
    EXPECT_EQ(table.Entry(1), 12345);
}

TEST_F(ColorTableTest, ResetForgetsEveryColourOfThePreviousPicture)
{
    TColorTable& table = Table();
    for (int32_t value = 0; value < 1000; ++value)
        table.FindOrAddColor(value * 7919);
    table.SortColors();
    table.Reset();

    EXPECT_EQ(table.ColorCount(), 0);
    EXPECT_EQ(table.FindOrAddColor(7919 * 500), 1);
    EXPECT_EQ(table.FindOrAddColor(0), 2);
}

TEST_F(ColorTableTest, ValuesBeyondTwentyFourBitsAreNumberedAndSortedSigned)
{
    TColorTable& table = Table();
    EXPECT_EQ(table.FindOrAddColor(kWhite), 1);
    EXPECT_EQ(table.FindOrAddColor(-1), 2);
    EXPECT_EQ(table.FindOrAddColor(1 << 24), 3);
    EXPECT_EQ(table.FindOrAddColor(-1), 2);
    table.SortColors();
    EXPECT_EQ(table.FindOrAddColor(-1), 1);
    EXPECT_EQ(table.FindOrAddColor(kWhite), 2);
    EXPECT_EQ(table.FindOrAddColor(1 << 24), 3);
    table.Reset();
    EXPECT_EQ(table.FindOrAddColor(1 << 24), 1);
}

TEST_F(ColorTableTest, AgreesWithANaiveListOnRandomPictures)
{
    std::mt19937 random(20261209);
    for (int round = 0; round < 40; ++round) {
        TColorTable& table = Table();
        table.Reset();
        NaiveTable naive;
        // Few distinct values in some rounds, many in others, so both
        // repeated finds and appends are exercised; rounds beyond 20 sort
        // more colours than a direct sort takes, so the order comes from the
        // presence bits.
        std::uniform_int_distribution<int32_t> value(0, round % 2 ? 0xFFFFFF : 40);
        std::vector<int32_t> picture(round < 20 ? 2000 : 70000);
        for (int32_t& pixel : picture)
            pixel = value(random);

        // The first pass without numbers, as the export makes it, in half of
        // the rounds.
        if (round % 4 < 2) {
            table.AddColours(picture.data(), static_cast<int>(picture.size()));
            for (int32_t pixel : picture)
                naive.FindOrAdd(pixel);
        }
        for (int32_t pixel : picture)
            ASSERT_EQ(table.FindOrAddColor(pixel), naive.FindOrAdd(pixel));
        table.SortColors();
        naive.Sort();
        ASSERT_TRUE(table.Ranked());
        for (int32_t pixel : picture) {
            ASSERT_EQ(table.FindOrAddColor(pixel), naive.FindOrAdd(pixel));
            ASSERT_EQ(table.NumberOf(pixel), naive.FindOrAdd(pixel));
        }
        // Colours met after the sort take the next numbers, and the sorted
        // ones keep theirs.
        for (int i = 0; i < 50; ++i) {
            const int32_t pixel = value(random);
            ASSERT_EQ(table.FindOrAddColor(pixel), naive.FindOrAdd(pixel));
            ASSERT_EQ(table.FindOrAddColor(picture[static_cast<size_t>(i)]), naive.FindOrAdd(picture[static_cast<size_t>(i)]));
        }
        ASSERT_EQ(table.ColorCount(), static_cast<int32_t>(naive.Entries().size()));
    }
}

TEST_F(ColorTableTest, LargeTablesSortLikeAComparisonSort)
{
    // Enough colours for the linear sort; met in random order with repeats.
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> value(0, 0xFFFFFF);
    TColorTable& table = Table();
    std::vector<int32_t> met;
    for (int i = 0; i < 300000; ++i) {
        const int32_t colour = value(random);
        const int32_t countBefore = table.ColorCount();
        if (table.FindOrAddColor(colour) > countBefore)
            met.push_back(colour);
    }
    table.SortColors();
    std::sort(met.begin(), met.end());
    ASSERT_EQ(table.ColorCount(), static_cast<int32_t>(met.size()));
    for (int32_t number = 1; number <= table.ColorCount(); ++number) {
        ASSERT_EQ(table.Entry(number), met[static_cast<size_t>(number) - 1]);
        ASSERT_EQ(table.FindOrAddColor(met[static_cast<size_t>(number) - 1]), number);
    }
}

TEST_F(ColorTableTest, HoldsEveryTwentyFourBitColour)
{
    TColorTable& table = Table();
    // Met in descending order, so sorting has to reverse all of them.
    for (int32_t value = TColorTable::kColourValues - 1; value >= 0; --value)
        ASSERT_EQ(table.FindOrAddColor(value), TColorTable::kColourValues - value);
    table.SortColors();
    EXPECT_EQ(table.ColorCount(), TColorTable::kColourValues);
    EXPECT_EQ(table.FindOrAddColor(0), 1);
    EXPECT_EQ(table.FindOrAddColor(kWhite), TColorTable::kColourValues);
    EXPECT_EQ(table.FindOrAddColor(0x123456), 0x123456 + 1);
    table.Reset();
    EXPECT_EQ(table.ColorCount(), 0);
    EXPECT_EQ(table.FindOrAddColor(kWhite), 1);
}

} // namespace
} // namespace pix
