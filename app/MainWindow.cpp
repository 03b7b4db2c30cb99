#include "app/MainWindow.h"

#include "colours/ColorTable.h"
#include "controls/TImage.h"
#include "controls/TShape.h"
#include "controls/TsAlphaImageList.h"
#include "controls/TsImage.h"
#include "resources/Pictures.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>

#include <stdexcept>

namespace pix {

namespace {

// Positions and sizes in logical pixels; Qt scales them by the screen's
// device pixel ratio, which is how the window follows the monitor's density.
constexpr QSize kClientSize(340, 520);
constexpr QRect kShape1Bounds(12, 11, 316, 315);
constexpr QRect kImage1Bounds(17, 16, 305, 305);
constexpr QRect kLoadButtonBounds(41, 344, 255, 65);
constexpr QRect kSaveButtonBounds(41, 432, 255, 65);
constexpr int kLoadButtonTag = 0;
constexpr int kSaveButtonTag = 2;

std::optional<QString> ExecModal(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

TsImage& AsImageButton(QObject* sender)
{
    auto* button = qobject_cast<TsImage*>(sender);
    if (!button)
        throw std::runtime_error("Invalid class typecast");
    return *button;
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , Shape1(new TShape(this))
    , Image1(new TImage(this))
    , sImage1(new TsImage(this))
    , sImage2(new TsImage(this))
    , sAlphaImageList(new TsAlphaImageList(this))
    , OD(new QFileDialog(this))
    , SD(new QFileDialog(this))
    , RunFileDialog(ExecModal)
{
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("Пікселізація..."));
    setFixedSize(kClientSize);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    setWindowIcon(ProgramIcon());

    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(kShape1Bounds);
    Image1->setObjectName("Image1");
    Image1->setGeometry(kImage1Bounds);
    Image1->Picture().AssignPicture32(PlaceholderPicture());

    sAlphaImageList->setObjectName("sAlphaImageList");
    LoadButtonPictures(*sAlphaImageList);

    sImage1->setObjectName("sImage1");
    sImage1->setGeometry(kLoadButtonBounds);
    sImage1->Tag = kLoadButtonTag;
    sImage1->SetImages(sAlphaImageList);
    sImage1->SetImageIndex(kLoadButtonTag);
    sImage2->setObjectName("sImage2");
    sImage2->setGeometry(kSaveButtonBounds);
    sImage2->Tag = kSaveButtonTag;
    sImage2->SetImages(sAlphaImageList);
    sImage2->SetImageIndex(kSaveButtonTag);

    connect(sImage1, &TsImage::Click, this, &TForm1::Button1Click);
    connect(sImage2, &TsImage::Click, this, &TForm1::Button2Click);
    for (TsImage* button : {sImage1, sImage2}) {
        connect(button, &TsImage::MouseEnter, this, &TForm1::sImageMouseEnter);
        connect(button, &TsImage::MouseLeave, this, &TForm1::sImageMouseLeave);
    }

    OD->setObjectName("OD");
    OD->setWindowTitle(QStringLiteral("Завантажити зображення"));
    OD->setNameFilter(QStringLiteral("PNG - картинка (*.png)"));
    OD->setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a file that does not exist is accepted; opening it then
    // fails with the load flow's own message.
    OD->setFileMode(QFileDialog::AnyFile);

    SD->setObjectName("SD");
    SD->setNameFilter(QStringLiteral("Табличне зображення (*.csv)"));
    SD->setAcceptMode(QFileDialog::AcceptSave);
    SD->setDefaultSuffix(QStringLiteral("csv"));
    SD->setOption(QFileDialog::DontConfirmOverwrite);

    FormCreate();
}

void TForm1::FormCreate()
{
    ColorTable.Reset();
}

void TForm1::sImageMouseEnter(QObject* Sender)
{
    TsImage& button = AsImageButton(Sender);
    button.SetImageIndex(button.Tag + 1);
}

void TForm1::sImageMouseLeave(QObject* Sender)
{
    TsImage& button = AsImageButton(Sender);
    button.SetImageIndex(button.Tag);
}

void TForm1::showEvent(QShowEvent* event)
{
    if (!fPlaced) {
        fPlaced = true;
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}

} // namespace pix
