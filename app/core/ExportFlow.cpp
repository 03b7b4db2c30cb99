#include "app/core/Conversion.h"
#include "app/core/Messages.h"
#include "app/core/WindowFlows.h"
#include "app/core/WindowState.h"
#include "colours/CsvExport.h"
#include "colours/CsvFileName.h"
#include "colours/NumberedTable.h"
#include "graphics/PngGraphic.h"
#include "platform/FileNames.h"
#include "platform/OutputFile.h"

namespace pix {

namespace {

TExportProgress Reporting(TPassProgress& progress)
{
    return [&progress](int64_t done, int64_t total) { return progress.Report(done, total); };
}

} // namespace

void RunExportFlow(TWindowFrontEnd& frontEnd)
{
    if (!ImageLoaded)
        return;
    ImageFileName = CsvFileName(ImageFileName);
    const TPNGGraphic& bitmap = frontEnd.WorkBitmap();
    {
        const std::unique_ptr<TPassProgress> progress = frontEnd.ShowProgress(kNumberingProgress);
        if (!NumberColours(bitmap, ColorTable, Reporting(*progress)))
            return;
    }

    const std::optional<std::string> chosen =
        frontEnd.RunSaveDialog(DialogFolder(FolderPart(ImageFileName)), FilePart(ImageFileName));
    if (!chosen)
        return;

    const TNumberedTable table(bitmap, ColorTable);
    const std::unique_ptr<TPassProgress> progress = frontEnd.ShowProgress(kWritingProgress);
    if (const std::unique_ptr<TReplacementFile> file = WriteTable(table, *chosen, Reporting(*progress)))
        file->Commit();
}

} // namespace pix
