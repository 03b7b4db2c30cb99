#include "controls/qt/TsImage.h"

#include "tests/controls/qt/WidgetTestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace pix {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

class ImageButton : public testing::Test {
protected:
    void SetUp() override
    {
        window = test::GreyWindow(QSize(340, 520));
        list = std::make_unique<TsAlphaImageList>();
        LoadButtonPictures(*list);
        button = new TsImage(window.get());
        button->move(41, 344);
        button->SetImages(list.get());
        button->SetImageIndex(0);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ratio = button->devicePixelRatioF();
    }

    // The picture composited over the window background as the list gives it
    // at the button's size; the rest of the button is background.
    QImage Expected(int index, QSize deviceSize)
    {
        const QSize size = button->PictureSize();
        TBitmap32 picture(size.width(), size.height());
        EXPECT_TRUE(list->GetBitmap32(index, picture));
        QImage expected(deviceSize, QImage::Format_RGB32);
        expected.fill(QColor(240, 240, 240));
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x) {
                const uint8_t* s = picture.Row(y) + 4 * x;
                expected.setPixel(x, y, qRgb(BlendStraight(240, s[kRed], s[kAlpha]),
                                             BlendStraight(240, s[kGreen], s[kAlpha]),
                                             BlendStraight(240, s[kBlue], s[kAlpha])));
            }
        return expected;
    }

    // The paint events the button receives for what action does, once the
    // pending ones are out of the way.
    int PaintsFor(const std::function<void()>& action)
    {
        PaintCounter paints;
        button->installEventFilter(&paints);
        QCoreApplication::processEvents();
        paints.count = 0;
        action();
        QCoreApplication::processEvents();
        button->removeEventFilter(&paints);
        return paints.count;
    }

    std::unique_ptr<QWidget> window;
    std::unique_ptr<TsAlphaImageList> list;
    TsImage* button = nullptr;
    qreal ratio = 1;
};

// Run once per display density (QT_SCALE_FACTOR 1, 1.25, 1.5 and 2).
TEST_F(ImageButton, TakesThePictureSizeOfTheScreenDensity)
{
    const std::map<qreal, QSize> sizes = {
        {1.0, {255, 65}}, {1.25, {318, 81}}, {1.5, {382, 97}}, {2.0, {510, 130}}};
    ASSERT_TRUE(sizes.count(ratio)) << "device pixel ratio " << ratio;
    const QSize expected = sizes.at(ratio);
    EXPECT_EQ(button->PictureSize(), expected);
    // The button covers the picture's device pixels and not a logical pixel more.
    EXPECT_GE(button->width() * ratio, expected.width());
    EXPECT_LT((button->width() - 1) * ratio, expected.width());
    EXPECT_GE(button->height() * ratio, expected.height());
    EXPECT_LT((button->height() - 1) * ratio, expected.height());

    button->SetImageIndex(1);
    EXPECT_EQ(button->PictureSize(), expected);
    EXPECT_GE(button->width() * ratio, expected.width());
}

TEST_F(ImageButton, DrawsItsPictureOneToOneInDevicePixels)
{
    for (int index : {0, 1, 2, 3}) {
        button->SetImageIndex(index);
        const QImage shown = test::DevicePixels(*button);
        EXPECT_EQ(shown, Expected(index, shown.size())) << "picture " << index;
    }
    // Also where the window puts it: at a fractional device position Qt
    // moves the image to a whole pixel rather than smoothing it.
    const QImage inWindow = test::DevicePixels(*window);
    const QSize size = button->PictureSize();
    const QImage expected = Expected(3, size);
    EXPECT_EQ(inWindow.copy(QRect(QPoint(qRound(41 * ratio), qRound(344 * ratio)), size)), expected);
}

TEST_F(ImageButton, PicturesOfTheNominalSizeAreCachedOthersResampledEachTime)
{
    TBitmap32 nominal(255, 65);
    ASSERT_TRUE(list->GetBitmap32(2, nominal));
    ASSERT_TRUE(list->Items[2].CacheBmp);
    EXPECT_EQ(*list->Items[2].CacheBmp, nominal);
    EXPECT_EQ(list->Items[2].OrigWidth, 255);
    EXPECT_EQ(list->Items[2].OrigHeight, 65);

    TBitmap32 larger(382, 97);
    ASSERT_TRUE(list->GetBitmap32(2, larger));
    EXPECT_FALSE(list->Items[2].CacheBmp);
    // Flat background stays flat where the kernel's weights sum to one.
    EXPECT_EQ(larger.Row(0)[kRed], 143);

    TBitmap32 untouched(10, 10);
    untouched.Row(0)[0] = 9;
    const TBitmap32 before = untouched;
    EXPECT_FALSE(list->GetBitmap32(-1, untouched));
    EXPECT_FALSE(list->GetBitmap32(4, untouched));
    EXPECT_EQ(untouched, before);
}

TEST_F(ImageButton, PointerOverSavePictureShowsBlueOneLowerOverTheBackground)
{
    if (ratio != 1.0)
        GTEST_SKIP() << "the numbers are those of 96 dots per inch";
    button->SetImageIndex(3);
    const QImage shown = test::DevicePixels(*button);
    // Background blue 245 over 240: (255 * 245 + 240) div 256 = 244.
    EXPECT_EQ(shown.pixel(0, 0), qRgb(159, 189, 244));
    EXPECT_EQ(shown.pixel(254, 64), qRgb(159, 189, 244));

    button->SetImageIndex(0);
    EXPECT_EQ(test::DevicePixels(*button), Expected(0, QSize(255, 65)));
    EXPECT_EQ(test::DevicePixels(*button).pixel(0, 0), qRgb(127, 127, 127));
}

TEST_F(ImageButton, IndexOutsideTheListDrawsNothingAndShrinksToNothing)
{
    for (int index : {-1, 4}) {
        button->SetImageIndex(0);
        ASSERT_FALSE(button->Empty());
        button->SetImageIndex(index);
        EXPECT_TRUE(button->Empty());
        EXPECT_EQ(button->size(), QSize(0, 0)) << index;
    }
    button->SetImageIndex(2);
    EXPECT_FALSE(button->size().isEmpty());
}

TEST_F(ImageButton, SettingTheSameIndexCausesNoRepaintNorResize)
{
    const QSize size = button->size();
    EXPECT_EQ(PaintsFor([&] { button->SetImageIndex(0); }), 0);
    EXPECT_EQ(button->size(), size);

    // Another index repaints at once, before any event is processed.
    PaintCounter paints;
    button->installEventFilter(&paints);
    button->SetImageIndex(1);
    EXPECT_EQ(paints.count, 1);
}

TEST_F(ImageButton, ClicksOnlyWhenPressedAndReleasedOverIt)
{
    QSignalSpy clicks(button, &TsImage::Click);
    const QPoint inside(20, 20);
    const QPoint outside(button->width() + 30, 20);

    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(button, Qt::LeftButton, {}, outside);
    EXPECT_EQ(clicks.count(), 0);

    QTest::mousePress(button, Qt::RightButton, {}, inside);
    QTest::mouseRelease(button, Qt::RightButton, {}, inside);
    EXPECT_EQ(clicks.count(), 0);

    QTest::mouseClick(button, Qt::LeftButton, {}, inside);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<QObject*>(), button);
}

TEST_F(ImageButton, RepaintsOnListChangesAndForgetsADestroyedList)
{
    EXPECT_GE(PaintsFor([&] { list->Change(); }), 1);
    list.reset();
    EXPECT_EQ(button->Images(), nullptr);
    EXPECT_TRUE(button->Empty());
    button->repaint();
}

TEST_F(ImageButton, MovesItsChangeLinkWithItsList)
{
    TsAlphaImageList other;
    LoadButtonPictures(other);
    button->SetImages(&other);
    EXPECT_EQ(PaintsFor([&] { list->Change(); }), 0);
    EXPECT_GE(PaintsFor([&] { other.Change(); }), 1);
    button->SetImages(nullptr);
}

} // namespace
} // namespace pix
