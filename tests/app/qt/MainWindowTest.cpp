#include "app/core/Messages.h"
#include "app/qt/Application.h"
#include "app/qt/MainWindow.h"
#include "app/core/WindowState.h"
#include "controls/qt/TImage.h"
#include "controls/qt/TShape.h"
#include "controls/qt/TsImage.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QPushButton>
#include <QEnterEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QLabel>

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pix {
namespace {

TEST(MainWindow, HasTheFixedCaptionSizeAndFrameButtons)
{
    TForm1 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Пікселізація..."));
    EXPECT_EQ(form.size(), QSize(340, 520));
    EXPECT_EQ(form.minimumSize(), QSize(340, 520));
    EXPECT_EQ(form.maximumSize(), QSize(340, 520));
    EXPECT_TRUE(form.isWindow());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.backgroundRole(), QPalette::Window);
}

TEST(MainWindow, ComponentsHaveTheirNamesBoundsAndSettings)
{
    TForm1 form;
    struct Expected {
        QWidget* widget;
        const char* name;
        QRect bounds;
    };
    for (const Expected& e : {Expected{form.Shape1, "Shape1", {12, 11, 316, 315}},
                              Expected{form.Image1, "Image1", {17, 16, 305, 305}},
                              Expected{form.sImage1, "sImage1", {41, 344, 255, 65}},
                              Expected{form.sImage2, "sImage2", {41, 432, 255, 65}}}) {
        EXPECT_EQ(e.widget->objectName(), e.name);
        EXPECT_EQ(e.widget->geometry(), e.bounds) << e.name;
        EXPECT_EQ(e.widget->focusPolicy(), Qt::NoFocus) << e.name;
    }
    EXPECT_EQ(form.sImage1->Tag, 0);
    EXPECT_EQ(form.sImage1->ImageIndex(), 0);
    EXPECT_EQ(form.sImage2->Tag, 2);
    EXPECT_EQ(form.sImage2->ImageIndex(), 2);
    EXPECT_EQ(form.sImage1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form.sImage2->cursor().shape(), Qt::PointingHandCursor);

    EXPECT_EQ(form.OD->windowTitle(), QStringLiteral("Завантажити зображення"));
    EXPECT_EQ(form.OD->nameFilters(), QStringList{QStringLiteral("PNG - картинка (*.png)")});
    EXPECT_EQ(form.SD->nameFilters(), (QStringList{QStringLiteral("Табличне зображення (*.csv)"),
                                                   QStringLiteral("Кольорове табличне зображення (*.xlsx)")}));
    EXPECT_EQ(form.SD->defaultSuffix(), QStringLiteral("csv"));
    EXPECT_TRUE(form.SD->testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(MainWindow, ScreenReadersTellTheButtonsAndThePreviewApart)
{
    TForm1 form;
    struct Expected {
        QWidget* widget;
        const char* name;
        const char* description;
    };
    for (const Expected& e : {Expected{form.sImage1, "Загрузити картинку", "Відкриває PNG-файл і показує картинку в квадраті"},
                              Expected{form.sImage2, "Зберегти у CSV",
                                       "Нумерує кольори картинки та зберігає таблицю їхніх номерів у CSV-файл"},
                              Expected{form.Image1, "Картинка", "Завантажена картинка, вписана в квадрат"}}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(e.widget);
        ASSERT_NE(accessible, nullptr) << e.name;
        EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(e.name));
        EXPECT_EQ(accessible->text(QAccessible::Description), QString::fromUtf8(e.description));
        EXPECT_FALSE(accessible->state().focusable) << e.name;
    }
}

TEST(MainWindow, FrameIsAOnePixelBlackOutlineLeavingItsInsideUnpainted)
{
    TForm1 form;
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    form.setPalette(palette);
    const QImage window = form.grab().toImage();
    const QColor black(0, 0, 0);
    const QColor background(240, 240, 240);
    EXPECT_EQ(window.pixelColor(12, 11), black);
    EXPECT_EQ(window.pixelColor(327, 325), black);
    EXPECT_EQ(window.pixelColor(200, 11), black);
    EXPECT_EQ(window.pixelColor(12, 200), black);
    EXPECT_EQ(window.pixelColor(13, 12), background);
    EXPECT_EQ(window.pixelColor(11, 11), background);
    EXPECT_EQ(window.pixelColor(328, 326), background);
}

TEST(MainWindow, CreationEmptiesTheColourTable)
{
    ColorTable.FindOrAddColor(42);
    TForm1 form;
    EXPECT_EQ(ColorTable.ColorCount(), 0);
}

TEST(MainWindow, HoverHandlersSwitchBetweenTagAndTagPlusOne)
{
    TForm1 form;
    for (TsImage* button : {form.sImage1, form.sImage2}) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(button, &enter);
        EXPECT_EQ(button->ImageIndex(), button->Tag + 1);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        EXPECT_EQ(button->ImageIndex(), button->Tag);
    }
    EXPECT_THROW(form.sImageMouseEnter(form.Image1), std::runtime_error);
}

TEST(MainWindow, ButtonsClickOnlyWhenReleasedOverThem)
{
    TForm1 form;
    // A click on the load button opens the open dialog: answered as a cancel.
    form.RunFileDialog = [](QFileDialog&) -> std::optional<QString> { return std::nullopt; };
    QSignalSpy clicks(form.sImage1, &TsImage::Click);
    QTest::mouseClick(form.sImage1, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);

    QTest::mousePress(form.sImage1, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(form.sImage1, Qt::LeftButton, {}, QPoint(10, 300));
    EXPECT_EQ(clicks.count(), 1);

    QTest::mouseClick(form.sImage1, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
}

// Runs onModal against the next modal box as soon as it is shown, then
// closes it, so a test can look at what the user would see.
void InspectNextMessageBox(std::function<void(QMessageBox&)> onModal)
{
    QTimer::singleShot(0, [onModal] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        onModal(*box);
        box->button(QMessageBox::Ok)->click();
    });
}

TEST(ErrorBox, AFailureEscapingAHandlerIsShownAndTheLoopGoesOn)
{
    QString shownText, shownTitle;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    int buttons = 0;
    bool handledAfterwards = false;

    QTimer::singleShot(0, [] { throw std::runtime_error("I/O error 32"); });
    InspectNextMessageBox([&](QMessageBox& box) {
        shownText = box.text();
        shownTitle = box.windowTitle();
        shownIcon = box.icon();
        buttons = static_cast<int>(box.buttons().size());
    });
    QTimer::singleShot(0, [&] { handledAfterwards = true; });
    QTest::qWait(100);

    EXPECT_EQ(shownText, "I/O error 32.");
    EXPECT_EQ(shownTitle.toStdString(), ApplicationTitle(QCoreApplication::applicationFilePath().toStdString()));
    EXPECT_EQ(shownIcon, QMessageBox::Critical);
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(handledAfterwards);
}

TEST(NoticeBox, IsAPlainBoxWithOneButton)
{
    QString shownText;
    QMessageBox::Icon shownIcon = QMessageBox::Critical;
    InspectNextMessageBox([&](QMessageBox& box) {
        shownText = box.text();
        shownIcon = box.icon();
    });
    TApplication::ShowNoticeBox("Skinned controls v15.16");
    EXPECT_EQ(shownText, "Skinned controls v15.16");
    EXPECT_EQ(shownIcon, QMessageBox::NoIcon);
}

// The texts Qt itself gives a dialog: a standard button and a file dialog's
// own label and button.
struct TQtDialogTexts {
    QString cancel;
    QString lookIn;
    QString open;
};

TQtDialogTexts QtDialogTexts()
{
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    TForm1 form;
    auto* lookIn = form.OD->findChild<QLabel*>("lookInLabel");
    auto* openButtons = form.OD->findChild<QDialogButtonBox*>("buttonBox");
    if (!lookIn || !openButtons || openButtons->buttons().isEmpty())
        return {};
    return {buttons.button(QDialogButtonBox::Cancel)->text(), lookIn->text(),
            openButtons->button(QDialogButtonBox::Open)->text()};
}

TEST(DialogTranslation, QtsOwnDialogTextsAreUkrainianAndEnglishWithoutTheFile)
{
    const QString installed = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(installed + QStringLiteral("/qtbase_uk.qm")))
        GTEST_SKIP() << "Qt's Ukrainian translation is not installed";
    auto& application = static_cast<TApplication&>(*QCoreApplication::instance());

    // As the program starts, whatever the locale the tests run in.
    TQtDialogTexts shown = QtDialogTexts();
    EXPECT_EQ(shown.cancel, QStringLiteral("Скасувати"));
    EXPECT_EQ(shown.lookIn, QStringLiteral("Перегляд в:"));
    EXPECT_EQ(shown.open, QStringLiteral("&Відкрити"));

    testing::TTempFolder empty("pix-translation");
    EXPECT_FALSE(application.LoadDialogTranslation(QString::fromStdString(empty.Path().string())));
    shown = QtDialogTexts();
    EXPECT_EQ(shown.cancel, QStringLiteral("Cancel"));
    EXPECT_EQ(shown.lookIn, QStringLiteral("Look in:"));
    EXPECT_EQ(shown.open, QStringLiteral("&Open"));

    EXPECT_TRUE(application.LoadDialogTranslation(installed));
}

} // namespace
} // namespace pix
