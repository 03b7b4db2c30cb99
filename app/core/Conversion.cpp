#include "app/core/Conversion.h"

#include "colours/CsvExport.h"
#include "colours/WorkbookExport.h"
#include "graphics/PngGraphic.h"
#include "platform/OutputFile.h"
#include "png/PngImage.h"

namespace pix {

void LoadPicture(const std::string& fileName, TPNGGraphic& bitmap)
{
    TPngImage image;
    image.LoadFromFile(fileName);
    bitmap.Assign(image);
}

const TTableWriter& TableWriterFor(const std::string& fileName)
{
    static const TCsvTableWriter csv;
    static const TWorkbookTableWriter workbook;
    if (IsWorkbookName(fileName))
        return workbook;
    return csv;
}

std::unique_ptr<TReplacementFile> WriteTable(const TNumberedTable& table, const std::string& fileName,
                                             const TExportProgress& progress)
{
    const TTableWriter& writer = TableWriterFor(fileName);
    writer.CheckLimits(table);
    auto file = std::make_unique<TReplacementFile>(fileName);
    if (!writer.Write(table, *file, progress))
        return nullptr;
    return file;
}

} // namespace pix
