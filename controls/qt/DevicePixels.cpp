#include "controls/qt/DevicePixels.h"

#include <QPainter>
#include <QWidget>

#include <cmath>

namespace pix {

int Density(const QWidget& widget)
{
    return static_cast<int>(std::lround(kDesignDensity * widget.devicePixelRatioF()));
}

int DeviceLength(int logical, qreal ratio)
{
    // The allowance keeps an exact product that floating point puts a hair
    // below its integer (29 * 1.1) from losing a pixel.
    return static_cast<int>(std::floor(logical * ratio + 1e-9));
}

QSize DeviceSize(const QWidget& widget)
{
    const qreal ratio = widget.devicePixelRatioF();
    return {DeviceLength(widget.width(), ratio), DeviceLength(widget.height(), ratio)};
}

TBitmap32 FilledPicture(QSize size, const QColor& colour)
{
    TBitmap32 picture(size.width(), size.height());
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* pixel = picture.Row(y);
        for (int x = 0; x < picture.Width(); ++x, pixel += 4) {
            pixel[kBlue] = static_cast<uint8_t>(colour.blue());
            pixel[kGreen] = static_cast<uint8_t>(colour.green());
            pixel[kRed] = static_cast<uint8_t>(colour.red());
            pixel[kAlpha] = 255;
        }
    }
    return picture;
}

QColor WindowBackground(const QWidget& widget)
{
    return widget.window()->palette().color(QPalette::Window);
}

void DrawDevicePixels(QPainter& painter, const TBitmap32& picture, qreal ratio)
{
    // An image that carries the ratio is drawn without scaling.
    QImage image = ToQImage(picture);
    image.setDevicePixelRatio(ratio);
    painter.drawImage(QPoint(0, 0), image);
}

QImage ToQImage(const TBitmap32& picture)
{
    QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* pixel = picture.Row(y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.Width(); ++x, pixel += 4)
            line[x] = qRgba(pixel[kRed], pixel[kGreen], pixel[kBlue], pixel[kAlpha]);
    }
    return image;
}

} // namespace pix
