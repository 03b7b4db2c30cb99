#pragma once

#include "controls/Placement.h"
#include "graphics/PngGraphic.h"

#include <QWidget>

namespace pix {

// The square preview area of the window. It holds the work bitmap for its
// whole life and shows it stretched into its square, keeping proportions,
// top-left aligned.
class TImage : public QWidget {
    Q_OBJECT

public:
    explicit TImage(QWidget* parent = nullptr);

    TPNGGraphic& Picture() { return fPicture; }
    const TPNGGraphic& Picture() const { return fPicture; }

    // Where the picture goes, in logical pixels from the top-left corner.
    TPlacementSize Placement() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PictureChanged();

    TPNGGraphic fPicture;
};

} // namespace pix
