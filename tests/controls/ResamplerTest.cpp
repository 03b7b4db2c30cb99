#include "controls/Resampler.h"

#include "graphics/Bitmap32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace pix {
namespace {

using Contributors = std::vector<TContributor>;

TEST(MitchellKernel, HasTheValuesOfTheCubicWithBAndCAThird)
{
    EXPECT_DOUBLE_EQ(MitchellKernel(0.0), 8.0 / 9.0);
    EXPECT_NEAR(MitchellKernel(1.0), 1.0 / 18.0, 1e-12);
    EXPECT_NEAR(MitchellKernel(-1.0), 1.0 / 18.0, 1e-12);
    EXPECT_NEAR(MitchellKernel(0.5), 7.0 / 48.0 - 0.5 + 8.0 / 9.0, 1e-12);
    EXPECT_NEAR(MitchellKernel(1.5), 2.25 * (2.0 - 7.0 / 12.0) - 5.0 + 16.0 / 9.0, 1e-12);
    EXPECT_NEAR(MitchellKernel(2.0), 0.0, 1e-12);
    EXPECT_EQ(MitchellKernel(2.5), 0.0);
}

// Weights worked out by hand from the kernel: round(k(|g - j| * f) * f * 65536).
TEST(MitchellContributors, EnlargementUsesTheKernelAsItIs)
{
    const auto contributors = MitchellContributors(4, 6);
    ASSERT_EQ(contributors.size(), 6u);
    // Sample 0 sits on source 0: k(1) = 1/18 and k(0) = 8/9; -1 mirrors to 1.
    EXPECT_EQ(contributors[0], (Contributors{{1, 3641}, {0, 58254}, {1, 3641}}));
    // Sample 1 sits at 2/3: distances 4/3, 1/3, 2/3, 5/3.
    EXPECT_EQ(contributors[1], (Contributors{{2, -2158}, {1, 46522}, {0, 22654}, {1, -1483}}));
    // Sample 5 sits at 10/3: source 4 mirrors to 3, 5 to 2.
    EXPECT_EQ(contributors[5], (Contributors{{2, -1483}, {3, 22654}, {3, 46522}, {2, -2158}}));
}

TEST(MitchellContributors, ReductionWidensTheKernel)
{
    // f = 2/3, reach 3: sample 1 sits at 1.5.
    const auto contributors = MitchellContributors(6, 4);
    EXPECT_EQ(contributors[1],
              (Contributors{{4, -989}, {3, 2427}, {2, 31015}, {1, 31015}, {0, 2427}, {1, -989}}));
}

TEST(MitchellContributors, RoundsHalfWeightsToEven)
{
    // k * f * 65536 is exactly -742.5 and -187.5 for these two.
    const auto contributors = MitchellContributors(16, 5);
    EXPECT_THAT(contributors[2], testing::Contains(TContributor{11, -742}));
    EXPECT_THAT(contributors[4], testing::Contains(TContributor{7, -188}));
}

TEST(MitchellContributors, ReductionToOneSampleStaysInsideTheSource)
{
    const auto contributors = MitchellContributors(3, 1);
    for (const TContributor& c : contributors[0]) {
        EXPECT_GE(c.Source, 0);
        EXPECT_LT(c.Source, 3);
    }
}

TBitmap32 GreyPicture(const std::vector<std::vector<int>>& rows)
{
    TBitmap32 picture(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            for (int channel = 0; channel < 4; ++channel)
                picture.Row(y)[4 * x + channel] = static_cast<uint8_t>(rows[y][x]);
    return picture;
}

std::vector<std::vector<int>> Channel(const TBitmap32& picture, int channel)
{
    std::vector<std::vector<int>> rows(static_cast<std::size_t>(picture.Height()));
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            rows[y].push_back(picture.Row(y)[4 * x + channel]);
    return rows;
}

TEST(ResampleMitchell, ResamplesRowsThenColumnsAndClampsEveryByte)
{
    const TBitmap32 source = GreyPicture({{0, 255, 0, 255}, {255, 255, 0, 0}, {10, 20, 30, 40}});
    TBitmap32 target(6, 5);
    ResampleMitchell(source, target);
    const std::vector<std::vector<int>> expected = {{53, 183, 174, 26, 147, 226},
                                                    {168, 229, 178, 19, 68, 105},
                                                    {210, 209, 142, 16, 4, 4},
                                                    {61, 63, 52, 26, 27, 29},
                                                    {0, 0, 13, 31, 38, 42}};
    for (int channel : {kBlue, kGreen, kRed, kAlpha})
        EXPECT_EQ(Channel(target, channel), expected) << "channel " << channel;
}

TEST(ResampleMitchell, WeightsSummingBelowOneDarkenWhiteByOne)
{
    const TBitmap32 source = GreyPicture({{255, 255, 255, 255}, {255, 255, 255, 255}});
    TBitmap32 target(6, 3);
    ResampleMitchell(source, target);
    EXPECT_EQ(Channel(target, kRed), (std::vector<std::vector<int>>{
                                         {255, 254, 254, 255, 254, 254},
                                         {254, 253, 253, 254, 253, 253},
                                         {254, 253, 253, 254, 253, 253}}));
}

TEST(ResampleMitchell, LeavesTheTargetAloneForTooSmallSources)
{
    TBitmap32 target(3, 3);
    target.Row(1)[0] = 7;
    const TBitmap32 before = target;
    ResampleMitchell(GreyPicture({{1, 2, 3}}), target);
    ResampleMitchell(GreyPicture({{1}, {2}, {3}}), target);
    EXPECT_EQ(target, before);
    TBitmap32 empty;
    ResampleMitchell(GreyPicture({{1, 2}, {3, 4}}), empty);
    EXPECT_TRUE(empty.Empty());
}

} // namespace
} // namespace pix
