#include "controls/TsImage.h"

#include <QMouseEvent>

namespace pix {

TsImage::TsImage(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TsImage::SetImageIndex(int value)
{
    if (value == fImageIndex)
        return;
    fImageIndex = value;
    repaint();
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
