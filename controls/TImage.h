#pragma once

#include <QWidget>

namespace pix {

// The square preview area of the window.
class TImage : public QWidget {
    Q_OBJECT

public:
    explicit TImage(QWidget* parent = nullptr);
};

} // namespace pix
