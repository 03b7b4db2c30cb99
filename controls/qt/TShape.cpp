#include "controls/qt/TShape.h"

#include "controls/qt/DevicePixels.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pix {

TShape::TShape(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // Mouse events go to what lies beneath, as for a shape drawn on the window.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TShape::paintEvent(QPaintEvent*)
{
    // The outline is laid in whole device pixels, the pen's width inside each
    // edge: a pen scaled by a fractional ratio would be smeared over two
    // pixels on some edges and dropped on others.
    const qreal ratio = devicePixelRatioF();
    const QSize size = DeviceSize(*this);
    const int pen = std::max(1, static_cast<int>(std::lround(PenWidth * ratio)));
    QImage outline(size, QImage::Format_ARGB32_Premultiplied);
    outline.fill(Qt::transparent);
    {
        QPainter bands(&outline);
        bands.fillRect(0, 0, size.width(), pen, Qt::black);
        bands.fillRect(0, size.height() - pen, size.width(), pen, Qt::black);
        bands.fillRect(0, 0, pen, size.height(), Qt::black);
        bands.fillRect(size.width() - pen, 0, pen, size.height(), Qt::black);
    }
    outline.setDevicePixelRatio(ratio);
    QPainter(this).drawImage(QPoint(0, 0), outline);
}

} // namespace pix
