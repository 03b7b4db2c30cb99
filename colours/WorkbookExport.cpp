#include "colours/WorkbookExport.h"

#include "colours/CsvFileName.h"
#include "colours/NumberedTable.h"
#include "platform/Console.h"
#include "platform/InOutError.h"
#include "platform/OutputFile.h"
#include "platform/SystemError.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

namespace pix {

namespace {

constexpr const char* kTableSheet = "Таблиця";
constexpr const char* kKeySheet = "Кольори";
constexpr std::array<const char*, 4> kKeyHeadings = {"Номер", "Колір", "RGB", "Пікселів"};
// Key columns, in characters: the number, the swatch, "#RRGGBB", the count.
constexpr std::array<double, 4> kKeyColumnWidths = {9, 8, 10, 12};

// The text of a sheet is at most this much per cell and per row
// (<c r="XFD1048576" s="63999"><v>63998</v></c>, and a row's tags with
// its span); beyond 4 GiB a part of the package needs zip64.
constexpr uint64_t kCellTextBytes = 44;
constexpr uint64_t kRowTextBytes = 64;
constexpr uint64_t kZip32Bytes = 0xFFFFFFFF;

// What the library needs in its scratch folder, beyond a copy of each
// sheet's rows, to put the package together.
constexpr uint64_t kAssemblyBytes = uint64_t{1} << 20;

// The library writes a sheet's rows through the C library's few-kilobyte
// buffer: a larger one saves tens of thousands of system calls per million
// cells (3 % of the time).
constexpr std::size_t kRowBufferBytes = std::size_t{1} << 20;

// Zip entries carry this time too: the same picture gives the same bytes.
constexpr time_t kCreated = 315532800; // 1980-01-01 00:00:00 UTC

// A spreadsheet's column width counts digits of its default font, 7 pixels
// each at 96 dpi, plus 5 pixels of margin; row heights count points, 3/4
// of a pixel. Cells are made square in pixels, wide enough for the widest
// number and never lower than a default row.
constexpr int kDigitPixels = 7;
constexpr int kMarginPixels = 5;
constexpr int kPaddingPixels = 4;
constexpr int kLeastCellPixels = 20;

int DecimalDigits(int32_t number)
{
    int digits = 1;
    while (number >= 10) {
        number /= 10;
        ++digits;
    }
    return digits;
}

int CellPixels(int32_t largestNumber)
{
    return std::max(kLeastCellPixels, DecimalDigits(largestNumber) * kDigitPixels + kMarginPixels + kPaddingPixels);
}

bool NeedsZip64(const TNumberedTable& table)
{
    const auto rows = static_cast<uint64_t>(table.Height());
    const uint64_t cells = static_cast<uint64_t>(table.Width()) * rows;
    return cells * kCellTextBytes + rows * kRowTextBytes + kAssemblyBytes > kZip32Bytes;
}

// The library's colour, 0xRRGGBB, for a colour value red + 256 green +
// 65536 blue. It reads 0 as "no colour", so black has a value of its own.
lxw_color_t LibraryColour(int32_t colourValue)
{
    const auto value = static_cast<uint32_t>(colourValue);
    const uint32_t rgb = (value & 0xFF) << 16 | (value & 0xFF00) | (value >> 16 & 0xFF);
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

std::string HexColour(int32_t colourValue)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(LibraryColour(colourValue) & 0xFFFFFF));
    return text;
}

[[noreturn]] void FailWith(lxw_error error)
{
    if (error == LXW_ERROR_MEMORY_MALLOC_FAILED)
        throw std::bad_alloc();
    // The library tells only that a file call failed; the system tells why.
    if (const int system = LastSystemError())
        throw InOutErrorFromPlatform(system);
    throw std::runtime_error(std::string("Workbook not written: ") + lxw_strerror(error));
}

void Check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        FailWith(error);
}

// A workbook in the making. The library writes each sheet's rows to a
// scratch file as they are finished and puts the package together only
// when closed; an object destroyed before that discards it all, scratch
// files included, which the library itself would leave open.
class TWorkbook {
public:
    TWorkbook(const std::string& fileName, lxw_workbook_options& options)
        : fWorkbook(workbook_new_opt(fileName.c_str(), &options))
    {
        if (!fWorkbook)
            throw std::bad_alloc();
    }
    ~TWorkbook()
    {
        if (!fWorkbook)
            return;
        for (lxw_worksheet* sheet : fSheets)
            if (sheet->optimize_tmpfile)
                std::fclose(sheet->optimize_tmpfile);
        lxw_workbook_free(fWorkbook);
    }
    TWorkbook(const TWorkbook&) = delete;
    TWorkbook& operator=(const TWorkbook&) = delete;

    lxw_worksheet* AddSheet(const char* name)
    {
        ClearLastSystemError();
        const TStandardErrorSilenced silenced;
        lxw_worksheet* sheet = workbook_add_worksheet(fWorkbook, name);
        if (!sheet) // its scratch file could not be made
            FailWith(LXW_ERROR_CREATING_TMPFILE);
        std::setvbuf(sheet->optimize_tmpfile, nullptr, _IOFBF, kRowBufferBytes);
        fSheets.push_back(sheet);
        return sheet;
    }
    lxw_format* AddFormat()
    {
        lxw_format* format = workbook_add_format(fWorkbook);
        if (!format)
            throw std::bad_alloc();
        return format;
    }
    void SetCreated(time_t created)
    {
        lxw_doc_properties properties{};
        properties.created = created;
        Check(workbook_set_properties(fWorkbook, &properties));
    }

    // The library does not look at its scratch writes, and a short one
    // would go into the package as a cut sheet: each sheet's rows are
    // checked here, and the room to copy them, before it goes on.
    void Close(std::optional<uint64_t> scratchSpace)
    {
        ClearLastSystemError();
        uint64_t rowBytes = 0;
        for (lxw_worksheet* sheet : fSheets) {
            if (std::fflush(sheet->optimize_tmpfile) != 0 || std::ferror(sheet->optimize_tmpfile))
                FailWith(LXW_ERROR_ZIP_FILE_OPERATION);
            rowBytes += static_cast<uint64_t>(std::max(0L, std::ftell(sheet->optimize_tmpfile)));
        }
        if (scratchSpace && *scratchSpace < rowBytes + kAssemblyBytes)
            throw EInOutError(kDiskFull);
        lxw_workbook* workbook = fWorkbook;
        fWorkbook = nullptr; // closed and freed by the library, whatever happens
        lxw_error error = LXW_NO_ERROR;
        {
            const TStandardErrorSilenced silenced;
            error = workbook_close(workbook);
        }
        Check(error);
    }

private:
    lxw_workbook* fWorkbook;
    std::vector<lxw_worksheet*> fSheets;
};

// The library prints its numbers (row heights, column widths) with the C
// library's formatting, which follows the program's locale: a window that
// has taken the user's locale would write "22,5" where the file format
// wants "22.5". The C locale's numbers while the workbook is written.
class TClassicNumbers {
public:
    TClassicNumbers()
        : fSaved(std::setlocale(LC_NUMERIC, nullptr))
    {
        std::setlocale(LC_NUMERIC, "C");
    }
    ~TClassicNumbers() { std::setlocale(LC_NUMERIC, fSaved.c_str()); }
    TClassicNumbers(const TClassicNumbers&) = delete;
    TClassicNumbers& operator=(const TClassicNumbers&) = delete;

private:
    std::string fSaved;
};

// One format per colour number: its fill, digits that stand out on it.
std::vector<lxw_format*> ColourFormats(TWorkbook& workbook, const TNumberedTable& table)
{
    std::vector<lxw_format*> formats;
    formats.reserve(static_cast<std::size_t>(table.ColourCount()));
    for (int32_t number = 1; number <= table.ColourCount(); ++number) {
        lxw_format* format = workbook.AddFormat();
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, LibraryColour(table.ColourOf(number)));
        if (WhiteDigitsOn(table.ColourOf(number)))
            format_set_font_color(format, LXW_COLOR_WHITE);
        format_set_align(format, LXW_ALIGN_CENTER);
        format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
        formats.push_back(format);
    }
    return formats;
}

// Printed as patterns are: grid lines and row and column headings on every
// page, the long side of the paper along the long side of the table.
void SetUpPrinting(lxw_worksheet* sheet, bool landscape)
{
    worksheet_gridlines(sheet, LXW_SHOW_ALL_GRIDLINES);
    worksheet_print_row_col_headers(sheet);
    if (landscape)
        worksheet_set_landscape(sheet);
}

bool WriteTableSheet(lxw_worksheet* sheet, const TNumberedTable& table, const std::vector<lxw_format*>& formats,
                     const TExportProgress& progress)
{
    const int width = table.Width();
    const int height = table.Height();
    const int pixels = CellPixels(table.ColourCount());
    Check(worksheet_set_column(sheet, 0, static_cast<lxw_col_t>(width - 1),
                               static_cast<double>(pixels - kMarginPixels) / kDigitPixels, nullptr));
    worksheet_set_default_row(sheet, pixels * 0.75, LXW_FALSE);
    SetUpPrinting(sheet, width > height);

    const int64_t total = int64_t{width} * height;
    std::vector<int32_t> numbers(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        table.ReadNumbers(0, y, width, numbers.data());
        for (int x = 0; x < width; ++x) {
            const int32_t number = numbers[static_cast<std::size_t>(x)];
            Check(worksheet_write_number(sheet, static_cast<lxw_row_t>(y), static_cast<lxw_col_t>(x), number,
                                         formats[static_cast<std::size_t>(number) - 1]));
        }
        if (progress && !progress(int64_t{y + 1} * width, total))
            return false;
    }
    return true;
}

void WriteKeySheet(lxw_worksheet* sheet, const TNumberedTable& table, const std::vector<lxw_format*>& formats,
                   lxw_format* heading)
{
    for (std::size_t column = 0; column < kKeyColumnWidths.size(); ++column)
        Check(worksheet_set_column(sheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                                   kKeyColumnWidths[column], nullptr));
    SetUpPrinting(sheet, false);
    Check(worksheet_repeat_rows(sheet, 0, 0));

    for (std::size_t column = 0; column < kKeyHeadings.size(); ++column)
        Check(worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(column), kKeyHeadings[column], heading));
    const std::vector<int64_t>& pixels = table.PixelCounts();
    for (int32_t number = 1; number <= table.ColourCount(); ++number) {
        const auto row = static_cast<lxw_row_t>(number);
        const auto index = static_cast<std::size_t>(number) - 1;
        Check(worksheet_write_number(sheet, row, 0, number, nullptr));
        Check(worksheet_write_blank(sheet, row, 1, formats[index]));
        Check(worksheet_write_string(sheet, row, 2, HexColour(table.ColourOf(number)).c_str(), nullptr));
        Check(worksheet_write_number(sheet, row, 3, static_cast<double>(pixels[index]), nullptr));
    }
}

// The linear light of an sRGB channel, 0 to 255.
double LinearChannel(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

bool IsWorkbookName(const std::string& fileName)
{
    static constexpr std::string_view kExtension = ".xlsx";
    if (fileName.size() < kExtension.size())
        return false;
    const std::string_view ending = std::string_view(fileName).substr(fileName.size() - kExtension.size());
    return std::equal(ending.begin(), ending.end(), kExtension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

std::string WorkbookFileName(const std::string& pictureName)
{
    return WithExtension(pictureName, ".xlsx");
}

bool WhiteDigitsOn(int32_t colourValue)
{
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table{};
        for (int channel = 0; channel < 256; ++channel)
            table[static_cast<std::size_t>(channel)] = LinearChannel(channel);
        return table;
    }();
    const auto value = static_cast<uint32_t>(colourValue);
    const double luminance = 0.2126 * linear[value & 0xFF] + 0.7152 * linear[value >> 8 & 0xFF]
        + 0.0722 * linear[value >> 16 & 0xFF];
    // Contrast ratios are (lighter + 0.05) / (darker + 0.05): white's
    // 1.05 / (L + 0.05) beats black's (L + 0.05) / 0.05 below this square.
    return (luminance + 0.05) * (luminance + 0.05) < 1.05 * 0.05;
}

void TWorkbookTableWriter::CheckLimits(const TNumberedTable& table) const
{
    if (table.Width() > kWorkbookColumns)
        throw EWorkbookLimit("A workbook holds at most " + std::to_string(kWorkbookColumns)
                             + " columns; the picture is " + std::to_string(table.Width()) + " pixels wide");
    if (table.Height() > kWorkbookRows)
        throw EWorkbookLimit("A workbook holds at most " + std::to_string(kWorkbookRows) + " rows; the picture is "
                             + std::to_string(table.Height()) + " pixels high");
    if (table.ColourCount() > kWorkbookColours)
        throw EWorkbookLimit("A workbook holds at most " + std::to_string(kWorkbookColours)
                             + " colours, one cell format each; the picture has "
                             + std::to_string(table.ColourCount()));
}

bool TWorkbookTableWriter::Write(const TNumberedTable& table, TReplacementFile& file,
                                 const TExportProgress& progress) const
{
    const std::string scratchFolder = file.ScratchFolder();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratchFolder.empty() ? nullptr : const_cast<char*>(scratchFolder.c_str());
    options.use_zip64 = NeedsZip64(table) ? LXW_TRUE : LXW_FALSE;

    const TClassicNumbers classicNumbers;
    TWorkbook workbook(file.NameForLibrary(), options);
    workbook.SetCreated(kCreated);
    lxw_worksheet* tableSheet = workbook.AddSheet(kTableSheet);
    lxw_worksheet* keySheet = workbook.AddSheet(kKeySheet);
    const std::vector<lxw_format*> formats = ColourFormats(workbook, table);
    lxw_format* heading = workbook.AddFormat();
    format_set_bold(heading);

    if (!WriteTableSheet(tableSheet, table, formats, progress))
        return false;
    WriteKeySheet(keySheet, table, formats, heading);
    workbook.Close(file.ScratchSpace());
    return true;
}

} // namespace pix
