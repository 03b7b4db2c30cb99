#pragma once

#include "app/core/WindowFlows.h"
#include "controls/TsAlphaImageList.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QFileDialog;

namespace pix {

struct TImageButtonLayout;
class TImage;
class TShape;
class TsImage;

// The one window of the program. Its components and handlers keep the names
// of the window's description; its state lives in app/core/WindowState.h,
// its flows in app/core, and this class only shows and dispatches.
class TForm1 : public QWidget, public TWindowFrontEnd {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);

    TShape* Shape1;
    TImage* Image1;
    TsImage* sImage1;
    TsImage* sImage2;
    // Owned here rather than by Qt: the buttons are told of its end while
    // they still exist, since members go before the widget's children.
    std::unique_ptr<TsAlphaImageList> sAlphaImageList;
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

    std::optional<std::string> RunOpenDialog() override;
    std::optional<std::string> RunSaveDialog(const std::string& folder, const std::string& fileName) override;
    std::unique_ptr<TPassProgress> ShowProgress(const std::string& label) override;
    TPNGGraphic& WorkBitmap() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetUpImageButton(TsImage& button, const char* name, const TImageButtonLayout& layout,
                          const char* accessibleName, const char* accessibleDescription);

    bool fPlaced = false;
};

} // namespace pix
