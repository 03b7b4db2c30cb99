#include "png/Unfilter.h"
#include "tests/support/PngWriter.h"

#include <gtest/gtest.h>

#include <random>

namespace pix {
namespace {

using testing::TBytes;

TBytes Unfiltered(uint8_t type, TBytes row, const TBytes& previous, unsigned bpp)
{
    Unfilter(type, row.data(), previous.data(), row.size(), bpp);
    return row;
}

struct TGoldenRow {
    const char* name;
    uint8_t type;
    unsigned bpp;
    TBytes previous, filtered, expected;
};

class UnfilterGolden : public ::testing::TestWithParam<TGoldenRow> {};

TEST_P(UnfilterGolden, ReconstructsTheRow)
{
    const TGoldenRow& c = GetParam();
    EXPECT_EQ(Unfiltered(c.type, c.filtered, c.previous, c.bpp), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UnfilterGolden,
    ::testing::Values(
        TGoldenRow{"None", 0, 1, {9, 9, 9}, {1, 2, 3}, {1, 2, 3}},
        TGoldenRow{"Sub3", 1, 3, {}, {1, 2, 3, 10, 20, 30, 5, 5, 5}, {1, 2, 3, 11, 22, 33, 16, 27, 38}},
        TGoldenRow{"SubWraps", 1, 1, {0, 0}, {200, 100}, {200, 44}},
        TGoldenRow{"Up", 2, 2, {1, 2, 250, 4}, {1, 1, 10, 1}, {2, 3, 4, 5}},
        // (left + up) / 2 formed without overflow: (255 + 255) / 2 = 255.
        TGoldenRow{"AverageNoOverflow", 3, 1, {255, 255}, {128, 0}, {255, 255}},
        TGoldenRow{"AverageFirstPixelHalvesUp", 3, 2, {7, 9, 0, 0}, {1, 1, 0, 0}, {4, 5, 2, 2}},
        // First pixel: left and upper-left are 0, so the predictor is up.
        TGoldenRow{"PaethFirstPixelTakesUp", 4, 1, {6}, {4}, {10}},
        // left 10, up 4, upper-left 6: left and upper-left tie, left wins.
        TGoldenRow{"PaethTieLeftWins", 4, 1, {6, 4}, {4, 0}, {10, 10}},
        // left 5, up 11, upper-left 7: up and upper-left tie, up wins.
        TGoldenRow{"PaethTieUpWins", 4, 1, {7, 11}, {254, 0}, {5, 11}},
        TGoldenRow{"PaethUpperLeftWins", 4, 1, {15, 20}, {251, 5}, {10, 20}},
        TGoldenRow{"UnknownTypeFive", 5, 1, {1, 2}, {7, 8}, {7, 8}},
        TGoldenRow{"UnknownType255", 255, 3, {1, 2, 3}, {7, 8, 9}, {7, 8, 9}}),
    [](const ::testing::TestParamInfo<TGoldenRow>& info) { return std::string(info.param.name); });

// Every filter type at every pixel size the formats use, on rows of random
// bytes filtered by the test writer: the reader gets the row back.
TEST(Unfilter, InvertsEveryFilterAtEveryPixelSize)
{
    std::mt19937 random(7);
    for (unsigned bpp : {1u, 2u, 3u, 4u, 6u, 8u}) {
        for (int type = 0; type <= 4; ++type) {
            for (size_t length : {size_t{bpp}, 5 * size_t{bpp}, 37 * size_t{bpp}}) {
                TBytes previous(length), row(length);
                for (auto& b : previous)
                    b = static_cast<uint8_t>(random());
                for (auto& b : row)
                    b = static_cast<uint8_t>(random());
                const TBytes filtered = testing::FilterRow(type, row, previous, bpp);
                EXPECT_EQ(Unfiltered(filtered[0], TBytes(filtered.begin() + 1, filtered.end()), previous, bpp), row)
                    << "bpp " << bpp << ", filter " << type << ", " << length << " bytes";
            }
        }
    }
}

} // namespace
} // namespace pix
