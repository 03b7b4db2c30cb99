#pragma once

#include "controls/TsAlphaImageList.h"

#include <QSize>
#include <QWidget>

namespace pix {

// An image button: shows one picture of an image list, the hand pointer, and
// reports click, enter and leave to the window. It never takes the keyboard
// focus; the window's handlers decide everything else.
class TsImage : public QWidget {
    Q_OBJECT

public:
    explicit TsImage(QWidget* parent = nullptr);
    ~TsImage() override;

    int Tag = 0;
    // Takes the picture's size at each change of ImageIndex.
    bool AutoSize = true;

    int ImageIndex() const { return fImageIndex; }
    // The same value again does nothing; another one resizes the button (with
    // AutoSize) and repaints it at once.
    void SetImageIndex(int value);

    TsAlphaImageList* Images() const { return fImages; }
    void SetImages(TsAlphaImageList* list);

    // True when there is no list picture to show.
    bool Empty() const;

    // The picture's size in device pixels at the density of the screen the
    // window is on: the list's nominal size scaled by density / 96.
    QSize PictureSize() const;

signals:
    void Click(QObject* sender);
    void MouseEnter(QObject* sender);
    void MouseLeave(QObject* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The AutoSize rule: the picture's size, or 0 x 0 when Empty().
    void AdjustBounds();

    int fImageIndex = -1;
    bool fLeftPressed = false;
    TsAlphaImageList* fImages = nullptr;
    TChangeLink fChangeLink;
};

} // namespace pix
