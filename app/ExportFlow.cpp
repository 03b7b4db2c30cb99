#include "app/MainWindow.h"
#include "app/WindowState.h"
#include "colours/ColorTable.h"
#include "colours/CsvExport.h"
#include "colours/CsvFileName.h"
#include "colours/OutputFile.h"
#include "controls/TImage.h"

#include <QFileDialog>
#include <QProgressDialog>

#include <algorithm>

namespace pix {

namespace {

// A pass that takes longer than this shows its progress.
constexpr int kProgressDelayMs = 500;
constexpr int kProgressSteps = 1000;

// Modal for the whole application once shown, so that no other handler can
// start while a pass runs; until then no events are processed at all.
class TPassProgress {
public:
    TPassProgress(QWidget* owner, const QString& label)
        : fDialog(label, QStringLiteral("Скасувати"), 0, kProgressSteps, owner)
    {
        fDialog.setWindowModality(Qt::ApplicationModal);
        fDialog.setMinimumDuration(kProgressDelayMs);
        fDialog.setAutoClose(false);
        fDialog.setAutoReset(false);
        fDialog.setValue(0);
    }

    TExportProgress Report()
    {
        return [this](int64_t done, int64_t total) {
            fDialog.setValue(static_cast<int>(done * kProgressSteps / std::max<int64_t>(total, 1)));
            return !fDialog.wasCanceled();
        };
    }

private:
    QProgressDialog fDialog;
};

} // namespace

// The export flow: number the colours of the work bitmap, propose the
// derived name, write the table. The chosen file is replaced only once the
// whole table is written; a cancel writes nothing.
void TForm1::Button2Click(QObject*)
{
    if (!ImageLoaded)
        return;
    ImageFileName = CsvFileName(ImageFileName);
    const TPNGGraphic& bitmap = Image1->Picture();
    {
        TPassProgress progress(this, QStringLiteral("Нумерація кольорів..."));
        if (!NumberColours(bitmap, ColorTable, progress.Report()))
            return;
    }

    const std::string folder = DialogFolder(FolderPart(ImageFileName));
    if (!folder.empty())
        SD->setDirectory(QString::fromStdString(folder));
    SD->selectFile(QString::fromStdString(FilePart(ImageFileName)));
    const std::optional<QString> chosen = RunFileDialog(*SD);
    if (!chosen)
        return;

    TReplacementFile file(chosen->toStdString());
    TPassProgress progress(this, QStringLiteral("Запис таблиці..."));
    if (WriteCsv(bitmap, ColorTable, file, progress.Report()))
        file.Commit();
}

} // namespace pix
