#include "controls/Placement.h"

#include <gtest/gtest.h>

namespace pix {
namespace {

struct PlacementCase {
    int width;
    int height;
    TPlacementSize expected;
};

class PlacementInTheSquare : public testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementInTheSquare, KeepsProportionsWithExtendedPrecision)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(PlacementSize(c.width, c.height, 305, 305), c.expected) << c.width << " x " << c.height;
}

// 500 x 300, 300 x 500 and 305 x 183 come out one lower than double
// arithmetic would give: the 64-bit mantissa makes the difference.
INSTANTIATE_TEST_SUITE_P(Examples, PlacementInTheSquare,
                         testing::Values(PlacementCase{305, 305, {305, 305}}, PlacementCase{640, 480, {305, 228}},
                                         PlacementCase{1920, 1080, {305, 171}}, PlacementCase{500, 300, {305, 182}},
                                         PlacementCase{300, 500, {182, 305}}, PlacementCase{305, 200, {305, 200}},
                                         PlacementCase{200, 305, {199, 305}}, PlacementCase{305, 183, {305, 182}},
                                         PlacementCase{1000, 1, {305, 0}}, PlacementCase{1, 1000, {0, 305}},
                                         PlacementCase{1, 1, {305, 305}}, PlacementCase{65535, 65535, {305, 305}},
                                         PlacementCase{0, 10, {305, 305}}, PlacementCase{10, 0, {305, 305}}));

TEST(Placement, FollowsTheClientSizeOfANonSquareArea)
{
    // Wide picture, short area: the height limit takes over.
    EXPECT_EQ(PlacementSize(400, 200, 300, 100), (TPlacementSize{200, 100}));
    // Tall picture, narrow area: the width limit takes over.
    EXPECT_EQ(PlacementSize(200, 400, 100, 300), (TPlacementSize{100, 200}));
    // The same fallbacks with extended precision, one lower than double
    // arithmetic: 3 x 4/3 and 1 / (1/5) both land just below a whole number.
    EXPECT_EQ(PlacementSize(4, 3, 100, 3), (TPlacementSize{3, 3}));
    EXPECT_EQ(PlacementSize(1, 5, 1, 100), (TPlacementSize{1, 4}));
}

} // namespace
} // namespace pix
