#include "controls/qt/TsImage.h"

#include "controls/qt/DevicePixels.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace pix {

TsImage::TsImage(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    fChangeLink.OnChange = [this] { update(); };
    fChangeLink.OnListDestroyed = [this] {
        fImages = nullptr;
        update();
    };
}

TsImage::~TsImage()
{
    if (fImages)
        fImages->UnRegisterChanges(&fChangeLink);
}

void TsImage::SetImageIndex(int value)
{
    if (value == fImageIndex)
        return;
    fImageIndex = value;
    if (AutoSize)
        AdjustBounds();
    repaint();
}

void TsImage::SetImages(TsAlphaImageList* list)
{
    if (list == fImages)
        return;
    if (fImages)
        fImages->UnRegisterChanges(&fChangeLink);
    fImages = list;
    if (fImages)
        fImages->RegisterChanges(&fChangeLink);
    update();
}

bool TsImage::Empty() const
{
    return !fImages || fImageIndex < 0 || fImageIndex >= fImages->Count();
}

QSize TsImage::PictureSize() const
{
    if (!fImages)
        return {};
    const TPictureSize size = fImages->PictureSizeAt(Density(*this));
    return {size.Width, size.Height};
}

void TsImage::AdjustBounds()
{
    if (Empty()) {
        resize(0, 0);
        return;
    }
    // Logical pixels enough to hold every device pixel of the picture.
    const QSize picture = PictureSize();
    const qreal ratio = devicePixelRatioF();
    resize(static_cast<int>(std::ceil(picture.width() / ratio)), static_cast<int>(std::ceil(picture.height() / ratio)));
}

void TsImage::paintEvent(QPaintEvent*)
{
    if (Empty())
        return;
    // What lies beneath the button is the window's background.
    TBitmap32 cache = FilledPicture(DeviceSize(*this), WindowBackground(*this));
    const QSize size = PictureSize();
    if (size.width() > 0) {
        TBitmap32 picture(size.width(), size.height());
        fImages->GetBitmap32(fImageIndex, picture, 0);
        CompositeStraightAlpha(cache, picture);
    }
    QPainter painter(this);
    DrawDevicePixels(painter, cache, devicePixelRatioF());
}

void TsImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        fLeftPressed = true;
}

void TsImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !fLeftPressed)
        return;
    fLeftPressed = false;
    // A press that ends outside the button is no click.
    if (rect().contains(event->position().toPoint()))
        emit Click(this);
}

void TsImage::enterEvent(QEnterEvent*)
{
    emit MouseEnter(this);
}

void TsImage::leaveEvent(QEvent*)
{
    emit MouseLeave(this);
}

} // namespace pix
