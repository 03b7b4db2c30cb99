#include "app/qt/MainWindow.h"

#include "app/core/Messages.h"
#include "app/core/WindowLayout.h"
#include "app/core/WindowState.h"
#include "controls/qt/DevicePixels.h"
#include "controls/qt/TImage.h"
#include "controls/qt/TShape.h"
#include "controls/qt/TsImage.h"
#include "resources/Pictures.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileInfo>
#include <QFileDialog>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QScreen>

#include <algorithm>
#include <span>
#include <stdexcept>

namespace pix {

namespace {

// The layout's lengths as logical pixels; Qt scales them by the screen's
// device pixel ratio, which is how the window follows the monitor's density.
QRect LogicalRect(const TDesignBounds& bounds)
{
    return {bounds.Left, bounds.Top, bounds.Width, bounds.Height};
}

std::optional<QString> ExecModal(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// Accepting a file dialog with Enter while its name completion is open
// leaves that popup over the window once the dialog is gone, where it would
// take the next click only to close itself.
void CloseNameCompletion(QFileDialog& dialog)
{
    for (QCompleter* completer : dialog.findChildren<QCompleter*>()) {
        if (completer->popup()->isVisible())
            completer->popup()->hide();
    }
}

// "Description|pattern" in Qt's form, "Description (pattern)".
QString NameFilter(const char* filter)
{
    const QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
    return parts.value(0) + QStringLiteral(" (") + parts.value(1) + QLatin1Char(')');
}

// "*.csv" as Qt takes a default suffix, without "*.".
QString DefaultSuffix(const QString& extension)
{
    QString suffix = extension;
    while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    return suffix;
}

// The suffix of a name filter in Qt's form, "Description (*.xlsx)".
QString FilterSuffix(const QString& nameFilter)
{
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    return DefaultSuffix(nameFilter.mid(open + 1).chopped(1));
}

// The save dialog's name follows its file type: choosing the workbook
// makes the proposed "cat.csv" "cat.xlsx", and a name typed without an
// extension gets the chosen type's.
void FollowFileType(QFileDialog& dialog, const QString& nameFilter)
{
    const QString suffix = FilterSuffix(nameFilter);
    dialog.setDefaultSuffix(suffix);
    const QStringList typed = dialog.selectedFiles();
    if (typed.isEmpty() || typed.constFirst().isEmpty())
        return;
    const QString name = QFileInfo(typed.constFirst()).fileName();
    if (name.isEmpty())
        return;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    dialog.selectFile((dot < 0 ? name : name.left(dot)) + QLatin1Char('.') + suffix);
}

// Modal for the whole application once shown, so that no other handler can
// start while a pass runs; until then no events are processed at all.
class TQtPassProgress : public TPassProgress {
public:
    TQtPassProgress(QWidget* owner, const QString& label)
        : fDialog(label, QString::fromUtf8(kCancelButton), 0, kProgressSteps, owner)
    {
        fDialog.setWindowModality(Qt::ApplicationModal);
        fDialog.setMinimumDuration(kProgressDelayMs);
        fDialog.setAutoClose(false);
        fDialog.setAutoReset(false);
        fDialog.setValue(0);
    }

    bool Report(int64_t done, int64_t total) override
    {
        fDialog.setValue(static_cast<int>(done * kProgressSteps / std::max<int64_t>(total, 1)));
        return !fDialog.wasCanceled();
    }

private:
    QProgressDialog fDialog;
};

// Every size of the four-squares program icon.
QIcon ProgramIcon()
{
    QIcon icon;
    for (const std::span<const uint8_t> png : ProgramIconPngs())
        icon.addPixmap(QPixmap::fromImage(ToQImage(DecodePicture32(png))));
    return icon;
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
    , sAlphaImageList(std::make_unique<TsAlphaImageList>())
    , OD(new QFileDialog(this))
    , SD(new QFileDialog(this))
    , RunFileDialog(ExecModal)
{
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    setFixedSize(kClientWidth, kClientHeight);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    setWindowIcon(ProgramIcon());

    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(LogicalRect(kShape1Bounds));
    Image1->setObjectName("Image1");
    Image1->setGeometry(LogicalRect(kImage1Bounds));
    Image1->Picture().AssignPicture32(PlaceholderPicture());
    Image1->setAccessibleName(QString::fromUtf8(kPreviewName));
    Image1->setAccessibleDescription(QString::fromUtf8(kPreviewDescription));

    LoadButtonPictures(*sAlphaImageList);

    SetUpImageButton(*sImage1, "sImage1", kLoadButton, kLoadButtonName, kLoadButtonDescription);
    SetUpImageButton(*sImage2, "sImage2", kSaveButton, kSaveButtonName, kSaveButtonDescription);

    connect(sImage1, &TsImage::Click, this, &TForm1::Button1Click);
    connect(sImage2, &TsImage::Click, this, &TForm1::Button2Click);
    for (TsImage* button : {sImage1, sImage2}) {
        connect(button, &TsImage::MouseEnter, this, &TForm1::sImageMouseEnter);
        connect(button, &TsImage::MouseLeave, this, &TForm1::sImageMouseLeave);
    }

    OD->setObjectName("OD");
    OD->setWindowTitle(QString::fromUtf8(kOpenDialogTitle));
    OD->setNameFilter(NameFilter(kOpenDialogFilter));
    OD->setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a file that does not exist is accepted; opening it then
    // fails with the load flow's own message.
    OD->setFileMode(QFileDialog::AnyFile);

    SD->setObjectName("SD");
    SD->setNameFilters({NameFilter(kSaveDialogFilter), NameFilter(kWorkbookDialogFilter)});
    SD->setAcceptMode(QFileDialog::AcceptSave);
    SD->setDefaultSuffix(DefaultSuffix(QString::fromUtf8(kSaveDialogDefaultExtension)));
    SD->setOption(QFileDialog::DontConfirmOverwrite);
    connect(SD, &QFileDialog::filterSelected, SD, [this](const QString& filter) { FollowFileType(*SD, filter); });

    FormCreate();
}

void TForm1::SetUpImageButton(TsImage& button, const char* name, const TImageButtonLayout& layout,
                              const char* accessibleName, const char* accessibleDescription)
{
    button.setObjectName(name);
    button.setGeometry(LogicalRect(layout.Bounds));
    button.Tag = layout.Tag;
    button.SetImages(sAlphaImageList.get());
    button.SetImageIndex(AtRestImageIndex(layout.Tag));
    button.setAccessibleName(QString::fromUtf8(accessibleName));
    button.setAccessibleDescription(QString::fromUtf8(accessibleDescription));
}

void TForm1::FormCreate()
{
    SetUpWindowState();
}

void TForm1::Button1Click(QObject*)
{
    RunLoadFlow(*this);
}

void TForm1::Button2Click(QObject*)
{
    RunExportFlow(*this);
}

std::optional<std::string> TForm1::RunOpenDialog()
{
    const std::optional<QString> chosen = RunFileDialog(*OD);
    if (chosen) {
        // The next use of the dialog starts from this name.
        OD->selectFile(*chosen);
    }
    CloseNameCompletion(*OD);
    if (!chosen)
        return std::nullopt;
    return chosen->toStdString();
}

std::optional<std::string> TForm1::RunSaveDialog(const std::string& folder, const std::string& fileName)
{
    if (!folder.empty())
        SD->setDirectory(QString::fromStdString(folder));
    // Every export starts from the CSV, whatever was chosen last time.
    SD->selectNameFilter(NameFilter(kSaveDialogFilter));
    SD->setDefaultSuffix(DefaultSuffix(QString::fromUtf8(kSaveDialogDefaultExtension)));
    SD->selectFile(QString::fromStdString(fileName));
    const std::optional<QString> chosen = RunFileDialog(*SD);
    CloseNameCompletion(*SD);
    if (!chosen)
        return std::nullopt;
    return chosen->toStdString();
}

std::unique_ptr<TPassProgress> TForm1::ShowProgress(const std::string& label)
{
    return std::make_unique<TQtPassProgress>(this, QString::fromStdString(label));
}

TPNGGraphic& TForm1::WorkBitmap()
{
    return Image1->Picture();
}

void TForm1::sImageMouseEnter(QObject* Sender)
{
    TsImage& button = AsImageButton(Sender);
    button.SetImageIndex(PointerOverImageIndex(button.Tag));
}

void TForm1::sImageMouseLeave(QObject* Sender)
{
    TsImage& button = AsImageButton(Sender);
    button.SetImageIndex(AtRestImageIndex(button.Tag));
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
