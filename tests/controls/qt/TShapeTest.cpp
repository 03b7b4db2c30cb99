#include "controls/qt/TShape.h"

#include "tests/controls/qt/WidgetTestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace pix {
namespace {

// Run once per display density: the outline keeps whole device pixels on
// all four edges, its pen rounded from the scaled width, the inside untouched.
TEST(Frame, IsAWholePixelOutlineAtEveryDensity)
{
    auto window = test::GreyWindow(QSize(340, 520));
    auto* frame = new TShape(window.get());
    frame->setGeometry(12, 11, 316, 315);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const qreal ratio = frame->devicePixelRatioF();
    const int pen = static_cast<int>(std::lround(ratio));
    const QImage shown = test::DevicePixels(*window);

    const int middleRow = static_cast<int>(150 * ratio);
    const int middleColumn = static_cast<int>(150 * ratio);
    std::vector<int> darkColumns;
    std::vector<int> darkRows;
    for (int x = 0; x < shown.width(); ++x)
        if (shown.pixel(x, middleRow) == qRgb(0, 0, 0))
            darkColumns.push_back(x);
    for (int y = 0; y < shown.height(); ++y)
        if (shown.pixel(middleColumn, y) == qRgb(0, 0, 0))
            darkRows.push_back(y);
    ASSERT_EQ(darkColumns.size(), 2u * pen);
    ASSERT_EQ(darkRows.size(), 2u * pen);
    if (ratio == 1.0) {
        EXPECT_EQ(darkColumns, (std::vector<int>{12, 327}));
        EXPECT_EQ(darkRows, (std::vector<int>{11, 325}));
    }
    EXPECT_EQ(shown.pixel(middleColumn, middleRow), qRgb(240, 240, 240));
    for (int x = 0; x < shown.width(); ++x) {
        const QRgb colour = shown.pixel(x, middleRow);
        ASSERT_TRUE(colour == qRgb(0, 0, 0) || colour == qRgb(240, 240, 240)) << x;
    }
}

} // namespace
} // namespace pix
