#include "controls/qt/TImage.h"

#include "controls/qt/DevicePixels.h"
#include "controls/PreviewPainter.h"

#include <QPainter>

namespace pix {

TImage::TImage(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // Every paint covers the whole area itself, background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    fPicture.OnChange = [this] { PictureChanged(); };
}

TPlacementSize TImage::Placement() const
{
    return PlacementSize(fPicture.Width(), fPicture.Height(), width(), height());
}

void TImage::PictureChanged()
{
    // Transparency would hide pixels of the stored colour; the preview shows
    // every pixel as it is stored.
    fPicture.Transparent = false;
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    // The whole area is repainted from the background every time, so a
    // picture with transparent pixels never shows the previous one through.
    const qreal ratio = devicePixelRatioF();
    const QColor background = WindowBackground(*this);
    QPainter painter(this);
    painter.fillRect(rect(), background);
    const TPlacementSize placement = Placement();
    const QSize deviceSize(DeviceLength(placement.Width, ratio), DeviceLength(placement.Height, ratio));
    if (deviceSize.isEmpty())
        return;
    TBitmap32 target = FilledPicture(deviceSize, background);
    PaintPreviewPicture(fPicture, target);
    DrawDevicePixels(painter, target, ratio);
}

} // namespace pix
