// The Qt window's part of the flows: its dialogs as the user sees them, its
// progress dialogs' cancel button, and the bytes it writes, which must be
// the converter's.

#include "app/core/WindowState.h"
#include "app/qt/MainWindow.h"
#include "controls/qt/TsImage.h"
#include "tests/app/core/FlowFixture.h"

#include <QApplication>
#include <QFileDialog>
#include <QProgressBar>
#include <QProgressDialog>

namespace pix::testing {
namespace {

// What a file dialog showed when the flow ran it.
struct TQtDialogSeen {
    QFileDialog* dialog;
    QString title;
    QStringList filters;
    QString directory;
    QStringList selected;
};

// The window with its file dialogs answered from a queue instead of shown.
class QtWindowTest : public FlowTest {
protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        fForm = std::make_unique<TForm1>();
        fForm->RunFileDialog = [this](QFileDialog& dialog) -> std::optional<QString> {
            fSeen.push_back({&dialog, dialog.windowTitle(), dialog.nameFilters(), dialog.directory().absolutePath(),
                             dialog.selectedFiles()});
            if (fAnswers.empty())
                return std::nullopt;
            const QString answer = fAnswers.front();
            fAnswers.pop_front();
            return answer;
        };
    }
    QString QtPath(const std::string& name) const { return QString::fromStdString(PathText(name)); }
    void Click(TsImage* button, const std::string& answer)
    {
        fAnswers.push_back(QtPath(answer));
        emit button->Click(button);
    }

    std::unique_ptr<TForm1> fForm;
    std::deque<QString> fAnswers;
    std::vector<TQtDialogSeen> fSeen;
};

TEST_F(QtWindowTest, OpenDialogAsksForPngAndStartsFromTheLastChoice)
{
    WriteFile(fFolder / "cat.png", ExamplePng());
    Click(fForm->sImage1, "cat.png");
    fForm->Button1Click(fForm->sImage1); // answered as a cancel
    ASSERT_EQ(fSeen.size(), 2u);
    EXPECT_EQ(fSeen[0].dialog, fForm->OD);
    EXPECT_EQ(fSeen[0].title, QStringLiteral("Завантажити зображення"));
    EXPECT_EQ(fSeen[0].filters, QStringList{QStringLiteral("PNG - картинка (*.png)")});
    EXPECT_EQ(fSeen[1].selected, QStringList{QtPath("cat.png")});
    EXPECT_FALSE(ImageLoaded);
}

TEST_F(QtWindowTest, SaveDialogStartsInThePicturesFolderWithTheDerivedName)
{
    fs::create_directory(fFolder / "my.pics");
    WriteFile(fFolder / "my.pics" / "cat.png", ExamplePng());
    Click(fForm->sImage1, "my.pics/cat.png");
    Click(fForm->sImage2, "my.pics/cat.csv");
    ASSERT_EQ(fSeen.size(), 2u);
    const TQtDialogSeen& save = fSeen[1];
    EXPECT_EQ(save.dialog, fForm->SD);
    EXPECT_EQ(save.filters, (QStringList{QStringLiteral("Табличне зображення (*.csv)"),
                                         QStringLiteral("Кольорове табличне зображення (*.xlsx)")}));
    EXPECT_EQ(save.directory, QtPath("my.pics"));
    EXPECT_EQ(save.selected, QStringList{QtPath("my.pics/cat.csv")});
    EXPECT_EQ(fForm->SD->defaultSuffix(), QStringLiteral("csv"));
    EXPECT_TRUE(fForm->SD->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(ReadFile(fFolder / "my.pics" / "cat.csv"), kExampleCsv);
}

TEST_F(QtWindowTest, WindowWritesTheConvertersBytes)
{
    WriteFile(fFolder / "picture.png", EncodePng(TSampleImage::Random(33, 17, 16, 6, 4), true));
    Click(fForm->sImage1, "picture.png");
    Click(fForm->sImage2, "window.csv");
    EXPECT_EQ(ReadFile(fFolder / "window.csv"), ConvertedByPixCsv(PathText("picture.png")));
}

// Presses the cancel button of the progress dialog whose label is given,
// at its first report after the start, as a user would. A progress dialog
// processes no events until it is shown, half a second into a pass, so the
// press follows the dialog's progress bar instead. The bar is hooked when
// the dialog's next child arrives, as it is fully built by then.
class TProgressCanceller : public QObject {
public:
    explicit TProgressCanceller(QString label)
        : fLabel(std::move(label))
    {
        qApp->installEventFilter(this);
    }
    ~TProgressCanceller() override { qApp->removeEventFilter(this); }

    int Cancels = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ChildAdded)
            return false;
        for (QProgressBar* bar : watched->findChildren<QProgressBar*>(Qt::FindDirectChildrenOnly)) {
            if (bar->property("pixCancelHooked").toBool())
                continue;
            bar->setProperty("pixCancelHooked", true);
            connect(bar, &QProgressBar::valueChanged, this, [this, bar](int value) {
                auto* dialog = qobject_cast<QProgressDialog*>(bar->parentWidget());
                if (dialog && value > 0 && dialog->labelText() == fLabel && !dialog->wasCanceled()) {
                    dialog->cancel();
                    ++Cancels;
                }
            });
        }
        return false;
    }

private:
    QString fLabel;
};

TEST_F(QtWindowTest, ProgressDialogsCancelEitherPass)
{
    WriteFile(fFolder / "big.png", EncodePng(TSampleImage::Random(600, 500, 8, 2, 5), false));
    WriteFile(fFolder / "big.csv", {'o', 'l', 'd'});
    Click(fForm->sImage1, "big.png");
    for (const char* label : {"Нумерація кольорів...", "Запис таблиці..."}) {
        TProgressCanceller canceller(QString::fromUtf8(label));
        Click(fForm->sImage2, "big.csv");
        EXPECT_EQ(canceller.Cancels, 1) << label;
        fAnswers.clear(); // the save dialog's answer, when the first pass never got there
        EXPECT_EQ(ReadFile(fFolder / "big.csv"), "old") << label;
        EXPECT_EQ(FolderEntries(fFolder), (std::vector<std::string>{"big.csv", "big.png"})) << label;
    }
    Click(fForm->sImage2, "big.csv");
    EXPECT_EQ(ReadFile(fFolder / "big.csv"), ConvertedByPixCsv(PathText("big.png")));
}

} // namespace
} // namespace pix::testing
