#pragma once

#include <QWidget>

namespace pix {

// The frame around the preview: a black rectangle outline whose inside is
// left as the window painted it.
class TShape : public QWidget {
    Q_OBJECT

public:
    explicit TShape(QWidget* parent = nullptr);

    // In logical pixels; scaled with the window and rounded.
    int PenWidth = 1;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pix
