#pragma once

#include <QWidget>

namespace pix {

// An image button: shows one picture of an image list, the hand pointer, and
// reports click, enter and leave to the window. It never takes the keyboard
// focus; the window's handlers decide everything else.
class TsImage : public QWidget {
    Q_OBJECT

public:
    explicit TsImage(QWidget* parent = nullptr);

    int Tag = 0;

    int ImageIndex() const { return fImageIndex; }
    void SetImageIndex(int value);

signals:
    void Click(QObject* sender);
    void MouseEnter(QObject* sender);
    void MouseLeave(QObject* sender);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int fImageIndex = -1;
    bool fLeftPressed = false;
};

} // namespace pix
