// Faults while the window exports: a full disk, a folder that disappears
// after the save dialog, read-only targets that even root cannot write, a
// pipe, and a cancel from either pass's progress dialog. Each test checks
// the target's bytes afterwards, that no temporary file is left beside it,
// and that the next export still works.

#include "tests/app/FlowFixture.h"

#include "app/PixCsv.h"
#include "colours/InOutError.h"
#include "tests/colours/StringSink.h"
#include "tests/support/Mount.h"

#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <functional>
#include <sstream>

namespace pix::testing {
namespace {

// The table pixcsv makes of a file, for comparing with the window's.
std::string ConvertedByPixCsv(const std::string& png)
{
    TStringSink converted;
    std::ostringstream out, err;
    TPixCsvStreams streams{converted, out, err};
    EXPECT_EQ(RunPixCsv({"-q", "-o", "-", png}, streams), kPixCsvDone) << err.str();
    return converted.Bytes;
}

// The failure an export ends with, as code and message; {0, ""} when none.
template <class Run>
std::pair<int, std::string> FailureOf(Run run)
{
    try {
        run();
    } catch (const EInOutError& e) {
        return {e.ErrorCode, e.what()};
    }
    return {0, ""};
}

// Sets or clears the immutable attribute, which stops root as well; false
// where the file system or the process's capabilities do not allow it.
bool SetImmutable(const fs::path& file, bool on)
{
    const int descriptor = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    int flags = 0;
    bool done = ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(descriptor);
    return done;
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

class ExportFaultsTest : public FlowTest {
protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        WriteFile(fFolder / "cat.png", ExamplePng());
        Load("cat.png");
    }

    // Exports to name, running beforeWrite between the dialog and the write.
    void ExportWith(const std::string& name, const std::function<void()>& beforeWrite)
    {
        struct TRestore {
            TForm1& form;
            const decltype(TForm1::RunFileDialog) answer;
            ~TRestore() { form.RunFileDialog = answer; }
        } restore{*fForm, fForm->RunFileDialog};
        fForm->RunFileDialog = [this, &restore, &beforeWrite](QFileDialog& dialog) {
            const std::optional<QString> chosen = restore.answer(dialog);
            if (&dialog == fForm->SD)
                beforeWrite();
            return chosen;
        };
        Export(name);
    }

    void CancelPassAndExportAgain(const char* label, std::size_t dialogs);

    // After any failure the picture stays loaded and exports at once.
    void ExpectExportStillWorks()
    {
        EXPECT_TRUE(ImageLoaded);
        Export("again.csv");
        EXPECT_EQ(ReadFile(fFolder / "again.csv"), kExampleCsv);
    }
};

TEST_F(ExportFaultsTest, FullDiskKeepsThePreviousTableAndNoTemporaryFile)
{
    TMount small(fFolder / "small", "tmpfs", "tmpfs", 0, "size=16k");
    if (!small.Mounted())
        GTEST_SKIP() << "no small file system can be mounted here";
    // A picture whose table needs far more than the 16 KiB there are.
    const TSampleImage samples = TSampleImage::Random(200, 100, 8, 2, 3);
    WriteFile(fFolder / "big.png", EncodePng(samples, false));
    Load("big.png");
    WriteFile(fFolder / "small" / "out.csv", {'o', 'l', 'd'});

    EXPECT_EQ(FailureOf([&] { Export("small/out.csv"); }), std::make_pair(112, std::string("I/O error 112")));
    EXPECT_EQ(ReadFile(fFolder / "small" / "out.csv"), "old");
    EXPECT_EQ(FolderEntries(fFolder / "small"), std::vector<std::string>{"out.csv"});
    Export("again.csv");
    EXPECT_EQ(ReadFile(fFolder / "again.csv"), ConvertedByPixCsv(PathText("big.png")));
}

TEST_F(ExportFaultsTest, FullDeviceFailsAtTheFirstBlock)
{
    EXPECT_EQ(FailureOf([&] {
                  Answers.push_back(QStringLiteral("/dev/full"));
                  fForm->Button2Click(fForm->sImage2);
              }),
              std::make_pair(112, std::string("I/O error 112")));
    ExpectExportStillWorks();
}

TEST_F(ExportFaultsTest, FolderRemovedAfterTheDialogIsAnInvalidName)
{
    fs::create_directory(fFolder / "gone");
    EXPECT_EQ(FailureOf([&] { ExportWith("gone/cat.csv", [&] { fs::remove_all(fFolder / "gone"); }); }),
              std::make_pair(3, std::string("Invalid filename")));
    EXPECT_FALSE(fs::exists(fFolder / "gone"));
    ExpectExportStillWorks();
}

TEST_F(ExportFaultsTest, TargetReplacedByAFolderAfterTheDialogIsDenied)
{
    WriteFile(fFolder / "cat.csv", {'o', 'l', 'd'});
    EXPECT_EQ(FailureOf([&] {
                  ExportWith("cat.csv", [&] {
                      fs::remove(fFolder / "cat.csv");
                      fs::create_directory(fFolder / "cat.csv");
                  });
              }),
              std::make_pair(5, std::string("File access denied")));
    EXPECT_TRUE(fs::is_directory(fFolder / "cat.csv"));
    ExpectExportStillWorks();
}

TEST_F(ExportFaultsTest, ImmutableTargetIsDeniedEvenToRoot)
{
    WriteFile(fFolder / "cat.csv", {'o', 'l', 'd'});
    if (!SetImmutable(fFolder / "cat.csv", true))
        GTEST_SKIP() << "the immutable attribute cannot be set here";
    const auto failure = FailureOf([&] { Export("cat.csv"); });
    const std::vector<std::string> entries = FolderEntries(fFolder);
    SetImmutable(fFolder / "cat.csv", false);
    EXPECT_EQ(failure, std::make_pair(5, std::string("File access denied")));
    EXPECT_EQ(ReadFile(fFolder / "cat.csv"), "old");
    EXPECT_EQ(entries, (std::vector<std::string>{"cat.csv", "cat.png"}));
    ExpectExportStillWorks();
}

TEST_F(ExportFaultsTest, TargetOnAReadOnlyMountIsDenied)
{
    fs::create_directory(fFolder / "source");
    WriteFile(fFolder / "source" / "cat.csv", {'o', 'l', 'd'});
    TMount readOnly(fFolder / "readonly", (fFolder / "source").c_str(), nullptr, MS_BIND, nullptr);
    if (!readOnly.Mounted() || !readOnly.Remount(MS_BIND | MS_RDONLY))
        GTEST_SKIP() << "no read-only bind mount can be made here";
    EXPECT_EQ(FailureOf([&] { Export("readonly/cat.csv"); }), std::make_pair(5, std::string("File access denied")));
    EXPECT_EQ(ReadFile(fFolder / "source" / "cat.csv"), "old");
    EXPECT_EQ(FolderEntries(fFolder / "source"), std::vector<std::string>{"cat.csv"});
    ExpectExportStillWorks();
}

// Opening a pipe for writing would wait for a reader for ever.
TEST_F(ExportFaultsTest, PipeIsRefusedWithoutWaiting)
{
    ASSERT_EQ(mkfifo((fFolder / "pipe.csv").c_str(), 0644), 0);
    EXPECT_EQ(FailureOf([&] { Export("pipe.csv"); }), std::make_pair(105, std::string("I/O error 105")));
    EXPECT_TRUE(fs::is_fifo(fFolder / "pipe.csv"));
    ExpectExportStillWorks();
}

// A cancel in either pass writes nothing: the previous table stays, no
// temporary file is left, and the next export numbers as if none happened.
// dialogs: the file dialogs the cancelled export shows.
void ExportFaultsTest::CancelPassAndExportAgain(const char* label, std::size_t dialogs)
{
    WriteFile(fFolder / "big.png", EncodePng(TSampleImage::Random(600, 500, 8, 2, 5), false));
    WriteFile(fFolder / "big.csv", {'o', 'l', 'd'});
    Load("big.png");
    const std::size_t dialogsBefore = Seen.size();
    {
        TProgressCanceller canceller(QString::fromUtf8(label));
        Export("big.csv");
        EXPECT_EQ(canceller.Cancels, 1);
    }
    Answers.clear(); // the save dialog's answer, when the first pass never got there
    EXPECT_EQ(Seen.size() - dialogsBefore, dialogs);
    EXPECT_EQ(ReadFile(fFolder / "big.csv"), "old");
    EXPECT_EQ(FolderEntries(fFolder), (std::vector<std::string>{"big.csv", "big.png", "cat.png"}));
    EXPECT_TRUE(ImageLoaded);

    Export("big.csv");
    EXPECT_EQ(ReadFile(fFolder / "big.csv"), ConvertedByPixCsv(PathText("big.png")));
}

TEST_F(ExportFaultsTest, CancelWhileNumberingLeavesThePreviousTable)
{
    CancelPassAndExportAgain("Нумерація кольорів...", 0);
}

TEST_F(ExportFaultsTest, CancelWhileWritingLeavesThePreviousTable)
{
    CancelPassAndExportAgain("Запис таблиці...", 1);
}

} // namespace
} // namespace pix::testing
