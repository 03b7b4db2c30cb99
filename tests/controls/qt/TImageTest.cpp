#include "controls/qt/TImage.h"

#include "png/ByteSource.h"
#include "png/PngImage.h"
#include "resources/Pictures.h"

#include "tests/controls/qt/WidgetTestSupport.h"

#include <QBuffer>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace pix {
namespace {

const QRgb kBackground = qRgb(240, 240, 240);

class Preview : public testing::Test {
protected:
    void SetUp() override
    {
        window = test::GreyWindow(QSize(340, 520));
        preview = new TImage(window.get());
        preview->setGeometry(17, 16, 305, 305);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ratio = preview->devicePixelRatioF();
    }

    // Loads a picture the way the load flow does: PNG bytes, our reader, then
    // the assignment to the work bitmap.
    void Load(const QImage& image)
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "PNG"));
        TMemorySource source({reinterpret_cast<const uint8_t*>(png.constData()), static_cast<std::size_t>(png.size())});
        TPngImage decoded;
        decoded.LoadFromStream(source);
        preview->Picture().Assign(decoded);
    }

    void Show32(int width, int height, uint8_t colour, uint8_t alpha)
    {
        TBitmap32 picture(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* pixel = picture.Row(y) + 4 * x;
                pixel[kBlue] = pixel[kGreen] = pixel[kRed] = colour;
                pixel[kAlpha] = alpha;
            }
        preview->Picture().AssignPicture32(picture);
    }

    // Device pixel of logical position (x, y) of the preview.
    QRgb At(const QImage& shown, qreal x, qreal y) const
    {
        return shown.pixel(static_cast<int>(std::floor(x * ratio)), static_cast<int>(std::floor(y * ratio)));
    }

    std::unique_ptr<QWidget> window;
    TImage* preview = nullptr;
    qreal ratio = 1;
};

TEST_F(Preview, PlaceholderShowsItsGlyphColourAndTheBackground)
{
    const TBitmap32 placeholder = PlaceholderPicture();
    preview->Picture().AssignPicture32(placeholder);
    const QImage shown = test::DevicePixels(*preview);
    if (ratio == 1.0) {
        for (int y = 0; y < 305; ++y)
            for (int x = 0; x < 305; ++x) {
                const int alpha = placeholder.Row(y)[4 * x + kAlpha];
                const QRgb expected = qRgb(BlendStraight(240, 143, alpha), BlendStraight(240, 170, alpha),
                                           BlendStraight(240, 220, alpha));
                ASSERT_EQ(shown.pixel(x, y), expected) << x << ", " << y;
            }
    }
    EXPECT_EQ(At(shown, 153, 48), qRgb(143, 170, 220));
    EXPECT_EQ(At(shown, 5, 5), kBackground);
    EXPECT_EQ(At(shown, 153, 262), kBackground);
}

TEST_F(Preview, CompositesThirtyTwoBitPicturesDividingBy256)
{
    Show32(305, 305, 255, 255);
    EXPECT_EQ(At(test::DevicePixels(*preview), 100, 100), qRgb(254, 254, 254));
    // A partial-transparency white pixel of alpha 128 is stored composited
    // on black as 128, and blended once more over the background.
    Show32(305, 305, 128, 128);
    EXPECT_EQ(At(test::DevicePixels(*preview), 100, 100), qRgb(184, 184, 184));
    Show32(305, 305, 10, 0);
    EXPECT_EQ(At(test::DevicePixels(*preview), 100, 100), kBackground);
}

TEST_F(Preview, WidePictureSitsTopLeftAboveABackgroundStrip)
{
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(qRgb(10, 100, 200));
    Load(picture);
    ASSERT_EQ(preview->Picture().PixelFormat(), pf24bit);
    EXPECT_EQ(preview->Placement(), (TPlacementSize{305, 228}));
    const QImage shown = test::DevicePixels(*preview);
    EXPECT_EQ(At(shown, 0, 0), qRgb(10, 100, 200));
    EXPECT_EQ(At(shown, 304, 227), qRgb(10, 100, 200));
    EXPECT_EQ(At(shown, 0, 228), kBackground);
    EXPECT_EQ(At(shown, 304, 304), kBackground);
}

TEST_F(Preview, TallPictureLeavesAStripAtTheRight)
{
    QImage picture(300, 500, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    Load(picture);
    EXPECT_EQ(preview->Placement(), (TPlacementSize{182, 305}));
    const QImage shown = test::DevicePixels(*preview);
    EXPECT_EQ(At(shown, 181, 304), qRgb(1, 2, 3));
    EXPECT_EQ(At(shown, 182, 0), kBackground);
}

TEST_F(Preview, ScalesByRepeatingWholePixels)
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(0, 1, qRgb(0, 0, 255));
    picture.setPixel(1, 1, qRgb(9, 9, 9));
    Load(picture);
    const QImage shown = test::DevicePixels(*preview);
    EXPECT_EQ(At(shown, 0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(At(shown, 304, 0), qRgb(0, 255, 0));
    EXPECT_EQ(At(shown, 0, 304), qRgb(0, 0, 255));
    EXPECT_EQ(At(shown, 304, 304), qRgb(9, 9, 9));
    if (ratio == 1.0) {
        // Target column i shows source column i * 2 / 305.
        EXPECT_EQ(shown.pixel(152, 0), qRgb(255, 0, 0));
        EXPECT_EQ(shown.pixel(153, 0), qRgb(0, 255, 0));
    }
}

TEST_F(Preview, OneBitReductionKeepsBlackLines)
{
    if (ratio != 1.0)
        GTEST_SKIP() << "the reduction by two is worked out for 96 dots per inch";
    QImage picture(610, 610, QImage::Format_Mono);
    picture.setColor(0, qRgb(0, 0, 0));
    picture.setColor(1, qRgb(255, 255, 255));
    picture.fill(1);
    for (int y = 0; y < 610; ++y)
        picture.setPixel(301, y, 0); // a one-pixel line in a column nearest scaling drops
    Load(picture);
    ASSERT_EQ(preview->Picture().PixelFormat(), pf1bit);
    const QImage shown = test::DevicePixels(*preview);
    EXPECT_EQ(shown.pixel(150, 100), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(149, 100), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(151, 100), qRgb(255, 255, 255));
}

TEST_F(Preview, BitTransparentPictureShowsItsStoredColours)
{
    QImage picture(4, 4, QImage::Format_Indexed8);
    picture.setColorTable({qRgba(200, 10, 10, 0), qRgb(10, 200, 10)});
    picture.fill(0);
    Load(picture);
    EXPECT_FALSE(preview->Picture().Transparent);
    EXPECT_EQ(At(test::DevicePixels(*preview), 100, 100), qRgb(200, 10, 10));
}

// Sound behaviour: the area is painted from the background every time, so a
// transparent square picture does not leave the previous one showing.
TEST_F(Preview, TransparentSquareAfterAnotherPictureShowsTheBackground)
{
    Show32(50, 50, 30, 255);
    EXPECT_EQ(At(test::DevicePixels(*preview), 100, 100), qRgb(30, 30, 30));
    Show32(50, 50, 30, 0);
    EXPECT_EQ(At(test::DevicePixels(*preview), 100, 100), kBackground);
}

TEST_F(Preview, ExtremeProportionsDrawNothing)
{
    Show32(1, 1000, 0, 255);
    EXPECT_EQ(preview->Placement(), (TPlacementSize{0, 305}));
    const QImage shown = test::DevicePixels(*preview);
    for (int y = 0; y < shown.height(); y += 7)
        for (int x = 0; x < shown.width(); x += 7)
            ASSERT_EQ(shown.pixel(x, y), kBackground) << x << ", " << y;
}

} // namespace
} // namespace pix
