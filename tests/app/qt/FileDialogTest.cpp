// The window's file dialogs shown for real and driven from the keyboard, as
// a user does: what they leave behind once accepted.

#include "app/qt/MainWindow.h"
#include "controls/qt/TsImage.h"
#include "tests/app/core/FlowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace pix::testing {
namespace {

class FileDialogTest : public FlowTest {
protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        fForm = std::make_unique<TForm1>();
        fForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fForm.get()));
        // A dialog with a name to type is shown as the program shows it;
        // any other is only counted and answered as a cancel.
        fShowModal = fForm->RunFileDialog;
        fForm->RunFileDialog = [this](QFileDialog& dialog) -> std::optional<QString> {
            ++fDialogsRun;
            if (fTyped.isEmpty())
                return std::nullopt;
            TypeAndPressEnter(std::exchange(fTyped, {}));
            return fShowModal(dialog);
        };
    }

    // Clicks button; its dialog gets name typed into its file name box and
    // is accepted with Enter while the name's completion is still open.
    void ClickAndType(TsImage* button, const std::string& name)
    {
        fTyped = QString::fromStdString(PathText(name));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    }

    static void TypeAndPressEnter(const QString& typed)
    {
        QTimer::singleShot(0, [typed] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* fileName = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(fileName, nullptr);
            dialog->activateWindow();
            fileName->setFocus();
            QTest::keyClicks(fileName, typed, {}, 20);
            const bool completionOpen = QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; });
            // Keys go to an open popup first, as they do on screen.
            QTest::keyClick(completionOpen ? QApplication::activePopupWidget() : fileName, Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject();
            EXPECT_TRUE(completionOpen);
        });
    }

    // The completion of the folder's names may come back while its listing
    // arrives: given the time a user takes before the next click.
    static QWidget* PopupLeftBehind()
    {
        QTest::qWait(300);
        return QApplication::activePopupWidget();
    }

    std::unique_ptr<TForm1> fForm;
    // How the window shows its dialogs, modal, for the user to answer.
    std::function<std::optional<QString>(QFileDialog&)> fShowModal;
    QString fTyped;
    int fDialogsRun = 0;
};

TEST_F(FileDialogTest, AcceptingWithEnterLeavesNoCompletionBehindAndTheNextClickActs)
{
    WriteFile(fFolder / "catalogue.png", ExamplePng());
    WriteFile(fFolder / "cat.png", ExamplePng());
    WriteFile(fFolder / "cat.csv", {'o', 'l', 'd'});

    ClickAndType(fForm->sImage1, "cat.png");
    EXPECT_TRUE(ImageLoaded);
    EXPECT_EQ(PopupLeftBehind(), nullptr);

    ClickAndType(fForm->sImage2, "cat.csv");
    EXPECT_EQ(fDialogsRun, 2);
    EXPECT_EQ(ReadFile(fFolder / "cat.csv"), kExampleCsv);
    EXPECT_EQ(PopupLeftBehind(), nullptr);

    QTest::mouseClick(fForm->sImage1, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(fDialogsRun, 3);
}

TEST_F(FileDialogTest, ChoosingTheWorkbookTypeRenamesTheProposalAndSavesAWorkbook)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    ClickAndType(fForm->sImage1, "cat.png");

    QString proposed;
    fForm->RunFileDialog = [&](QFileDialog& dialog) {
        QTimer::singleShot(0, [&] {
            auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
            auto* fileName = dialog.findChild<QLineEdit*>("fileNameEdit");
            ASSERT_TRUE(types && fileName);
            EXPECT_EQ(types->currentIndex(), 0);
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
            proposed = fileName->text();
            fileName->setFocus();
            QTest::keyClick(fileName, Qt::Key_Return);
        });
        return fShowModal(dialog);
    };
    QTest::mouseClick(fForm->sImage2, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(proposed, QStringLiteral("cat.xlsx"));
    EXPECT_TRUE(ReadFile(fFolder / "cat.xlsx") == WorkbookByPixCsv(PathText("cat.png")));
    EXPECT_FALSE(fs::exists(fFolder / "cat.csv"));
}

} // namespace
} // namespace pix::testing
