#pragma once

#include "controls/Density.h"
#include "graphics/Bitmap32.h"

#include <QColor>
#include <QImage>
#include <QSize>

class QPainter;
class QWidget;

namespace pix {

// Dots per inch of the screen the widget's window is on, asked anew every
// time: the window may have moved to a monitor of another density.
int Density(const QWidget& widget);

// The device pixels that lie wholly inside a logical length at the given
// ratio; a pixel only partly covered is left to what lies beneath.
int DeviceLength(int logical, qreal ratio);
// The device pixels wholly inside a widget.
QSize DeviceSize(const QWidget& widget);

// A picture of the given size in one opaque colour.
TBitmap32 FilledPicture(QSize size, const QColor& colour);

// The background that lies beneath the window's controls.
QColor WindowBackground(const QWidget& widget);

// Puts picture on the painter's device 1:1 in device pixels, its top-left
// corner at the widget's origin.
void DrawDevicePixels(QPainter& painter, const TBitmap32& picture, qreal ratio);

// The same pixels as a QImage of format ARGB32 (straight alpha).
QImage ToQImage(const TBitmap32& picture);

} // namespace pix
