#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <memory>

namespace pix::test {

// A window whose background is (240, 240, 240), the value the expected
// colours of the preview and the buttons are worked out on.
inline std::unique_ptr<QWidget> GreyWindow(QSize size)
{
    auto window = std::make_unique<QWidget>();
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFixedSize(size);
    return window;
}

// What a widget shows, in device pixels.
inline QImage DevicePixels(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace pix::test
