#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QFileDialog;

namespace pix {

class TImage;
class TShape;
class TsAlphaImageList;
class TsImage;

// The one window of the program. Its components and handlers keep the names
// of the window's description; its state lives in WindowState.h, not here.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);

    TShape* Shape1;
    TImage* Image1;
    TsImage* sImage1;
    TsImage* sImage2;
    TsAlphaImageList* sAlphaImageList;
    QFileDialog* OD;
    QFileDialog* SD;

    // Every file dialog of the window is run through this, so tests can give
    // the user's answer without showing one. Returns the chosen full name, or
    // nothing when the user cancelled.
    std::function<std::optional<QString>(QFileDialog&)> RunFileDialog;

    void FormCreate();
    void Button1Click(QObject* Sender);
    void Button2Click(QObject* Sender);
    void sImageMouseEnter(QObject* Sender);
    void sImageMouseLeave(QObject* Sender);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool fPlaced = false;
};

} // namespace pix
