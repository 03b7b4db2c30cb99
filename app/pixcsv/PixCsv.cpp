#include "app/pixcsv/PixCsv.h"

#include "app/core/Conversion.h"
#include "app/core/Messages.h"
#include "colours/ColorTable.h"
#include "colours/CsvExport.h"
#include "colours/CsvFileName.h"
#include "colours/NumberedTable.h"
#include "colours/WorkbookExport.h"
#include "graphics/PngGraphic.h"
#include "platform/OutputFile.h"

#include <chrono>
#include <memory>
#include <optional>
#include <ostream>

#ifndef PIXELIZER_VERSION
#define PIXELIZER_VERSION "unknown"
#endif

namespace pix {

namespace {

constexpr const char* kUsage = "usage: pixcsv [-o OUTPUT | --xlsx] [--legend FILE] [-q] INPUT.png...\n";
constexpr const char* kHelp =
    "Converts PNG pictures into CSV tables of colour numbers: the distinct colours\n"
    "of a picture are sorted by red + 256 * green + 65536 * blue and numbered from 1;\n"
    "every pixel row becomes a line of numbers, each followed by \";\", ended by CR LF.\n"
    "Partly transparent pictures are numbered as drawn onto black.\n"
    "An OUTPUT ending in \".xlsx\" (any case) is written as a spreadsheet workbook\n"
    "instead: a cell per pixel holding its number, filled with its colour, and a\n"
    "second sheet with the key of colours and pixel counts.\n"
    "\n"
    "  -o, --output OUTPUT  write to OUTPUT (\"-\" for standard output, CSV only);\n"
    "                       one input only. Without it, INPUT's name with the\n"
    "                       extension \".csv\"\n"
    "  --xlsx               write each INPUT's workbook to INPUT's name with the\n"
    "                       extension \".xlsx\"\n"
    "  --legend FILE        also write the colour key, \"NUMBER;#RRGGBB;COUNT\" per\n"
    "                       line, COUNT the pixels of that colour; one input only\n"
    "  -q, --quiet          no progress on standard error\n"
    "  -h, --help           show this text\n"
    "  --version            show the version\n"
    "\n"
    "An existing output is replaced only once the new one is completely written.\n"
    "Exit status: 0 all converted, 1 some input failed, 2 wrong command line,\n"
    "130 interrupted.\n";

// Progress shows only once a conversion has taken this long.
constexpr std::chrono::milliseconds kQuietTime{1000};
constexpr std::chrono::milliseconds kProgressInterval{100};

struct TOptions {
    std::optional<std::string> Output;
    std::optional<std::string> Legend;
    bool Workbook = false;
    bool Quiet = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Inputs;
};

struct EUsageError {
    std::string Message;
};

// Accepts "-o X", "--output X" and "--output=X" for an option with a value.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, const char* shortName,
               const std::string& longName, std::optional<std::string>& value)
{
    const std::string& argument = arguments[i];
    if (argument.rfind(longName + "=", 0) == 0) {
        value = argument.substr(longName.size() + 1);
        return true;
    }
    if (argument != longName && (!shortName || argument != shortName))
        return false;
    if (i + 1 == arguments.size())
        throw EUsageError{"option " + argument + " needs a value"};
    value = arguments[++i];
    return true;
}

TOptions ParseArguments(const std::vector<std::string>& arguments)
{
    TOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-')
            options.Inputs.push_back(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if (argument == "--xlsx")
            options.Workbook = true;
        else if (argument == "-q" || argument == "--quiet")
            options.Quiet = true;
        else if (argument == "-h" || argument == "--help")
            options.Help = true;
        else if (argument == "--version")
            options.Version = true;
        else if (!TakeValue(arguments, i, "-o", "--output", options.Output)
                 && !TakeValue(arguments, i, nullptr, "--legend", options.Legend))
            throw EUsageError{"unknown option " + argument};
    }
    if (options.Help || options.Version)
        return options;
    if (options.Inputs.empty())
        throw EUsageError{"no input file"};
    if (options.Inputs.size() > 1 && (options.Output || options.Legend))
        throw EUsageError{"-o and --legend take one input only"};
    if (options.Workbook && options.Output == "-")
        throw EUsageError{"a workbook needs a file, not standard output"};
    if (options.Workbook && options.Output)
        throw EUsageError{"--xlsx and -o both name the output; give one of them"};
    if (options.Output == "-" && options.Legend == "-")
        throw EUsageError{"the table and the legend cannot both go to standard output"};
    return options;
}

class ECancelled {};

// Reports progress of the two passes of one conversion on a terminal, and
// turns an interrupt into a cancel.
class TProgressReport {
public:
    TProgressReport(TPixCsvStreams& streams, bool show, std::string input)
        : fStreams(streams)
        , fShow(show && streams.ErrIsTerminal)
        , fInput(std::move(input))
        , fStart(std::chrono::steady_clock::now())
    {
    }
    ~TProgressReport()
    {
        if (fShown)
            fStreams.Err << '\r' << std::string(fWidth, ' ') << '\r' << std::flush;
    }

    TExportProgress Pass(int pass)
    {
        return [this, pass](int64_t done, int64_t total) { return Report(pass, done, total); };
    }

private:
    bool Report(int pass, int64_t done, int64_t total)
    {
        if (fStreams.Interrupted && *fStreams.Interrupted)
            return false;
        if (!fShow)
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (now - fStart < kQuietTime || now - fLastShown < kProgressInterval)
            return true;
        fLastShown = now;
        const int64_t percent = (pass * 50) + (total > 0 ? done * 50 / total : 50);
        const std::string line = "pixcsv: " + fInput + ": " + std::to_string(percent) + "%";
        fWidth = std::max(fWidth, line.size());
        fStreams.Err << '\r' << line << std::flush;
        fShown = true;
        return true;
    }

    TPixCsvStreams& fStreams;
    bool fShow;
    std::string fInput;
    std::chrono::steady_clock::time_point fStart;
    std::chrono::steady_clock::time_point fLastShown{};
    bool fShown = false;
    std::size_t fWidth = 0;
};

// The table, or nothing for standard output, which is written at once.
std::unique_ptr<TReplacementFile> WriteTableOutput(const TNumberedTable& table, const std::string& name,
                                                   TPixCsvStreams& streams, const TExportProgress& progress)
{
    if (name == "-") {
        if (!TCsvTableWriter().WriteTo(table, streams.StandardOutput, progress))
            throw ECancelled();
        return nullptr;
    }
    std::unique_ptr<TReplacementFile> file = WriteTable(table, name, progress);
    if (!file)
        throw ECancelled();
    return file;
}

std::unique_ptr<TReplacementFile> WriteLegendOutput(const TNumberedTable& table, const std::string& name,
                                                    TPixCsvStreams& streams)
{
    if (name == "-") {
        WriteLegend(table, streams.StandardOutput);
        return nullptr;
    }
    auto file = std::make_unique<TReplacementFile>(name);
    WriteLegend(table, *file);
    return file;
}

void Convert(const std::string& input, const TOptions& options, TPixCsvStreams& streams)
{
    TProgressReport progress(streams, !options.Quiet, input);
    TPNGGraphic bitmap;
    LoadPicture(input, bitmap);
    TColorTable colours;
    if (!NumberColours(bitmap, colours, progress.Pass(0)))
        throw ECancelled();

    const TNumberedTable table(bitmap, colours);
    const std::string output =
        options.Output.value_or(options.Workbook ? WorkbookFileName(input) : CsvFileName(input));
    const auto tableFile = WriteTableOutput(table, output, streams, progress.Pass(1));
    const auto legendFile = options.Legend ? WriteLegendOutput(table, *options.Legend, streams) : nullptr;
    if (tableFile)
        tableFile->Commit();
    if (legendFile)
        legendFile->Commit();
}

} // namespace

int RunPixCsv(const std::vector<std::string>& arguments, TPixCsvStreams& streams)
{
    TOptions options;
    try {
        options = ParseArguments(arguments);
    } catch (const EUsageError& error) {
        streams.Err << "pixcsv: " << error.Message << '\n'
                    << kUsage << "Try 'pixcsv --help' for more information.\n";
        return kPixCsvUsage;
    }
    if (options.Help) {
        streams.Out << kUsage << '\n' << kHelp;
        return kPixCsvDone;
    }
    if (options.Version) {
        streams.Out << "pixcsv " PIXELIZER_VERSION "\n";
        return kPixCsvDone;
    }

    int status = kPixCsvDone;
    for (const std::string& input : options.Inputs) {
        try {
            Convert(input, options, streams);
        } catch (const ECancelled&) {
            streams.Err << "pixcsv: " << input << ": interrupted\n";
            return kPixCsvInterrupted;
        } catch (const std::exception& failure) {
            streams.Err << "pixcsv: " << input << ": " << WithFullStop(FailureMessage(failure)) << '\n';
            status = kPixCsvFailed;
        }
    }
    return status;
}

} // namespace pix
