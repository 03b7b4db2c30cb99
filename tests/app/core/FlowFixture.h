#pragma once

#include "app/core/WindowFlows.h"
#include "app/pixcsv/PixCsv.h"
#include "app/core/WindowState.h"
#include "graphics/PngGraphic.h"
#include "platform/InOutError.h"
#include "png/PngImage.h"
#include "tests/app/ExampleTable.h"
#include "tests/colours/StringSink.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace pix::testing {

namespace fs = std::filesystem;

// A file dialog as the flow asked for it.
struct TDialogSeen {
    enum { Open, Save } kind;
    std::string folder;   // save dialog only
    std::string fileName; // save dialog only
};

// A front-end without a window: its dialogs are answered from a queue (an
// empty queue answers as a cancel), and a pass whose label is named in
// CancelPass is cancelled at its first report, as a user would.
class TFakeFrontEnd : public TWindowFrontEnd {
public:
    std::deque<std::optional<std::string>> Answers;
    std::vector<TDialogSeen> Seen;
    std::string CancelPass;
    int Cancels = 0;
    // Runs after the save dialog's answer, before anything is written.
    std::function<void()> AfterSaveDialog;
    TPNGGraphic Picture;

    std::optional<std::string> RunOpenDialog() override
    {
        Seen.push_back({TDialogSeen::Open, {}, {}});
        return Answer();
    }
    std::optional<std::string> RunSaveDialog(const std::string& folder, const std::string& fileName) override
    {
        Seen.push_back({TDialogSeen::Save, folder, fileName});
        std::optional<std::string> chosen = Answer();
        if (AfterSaveDialog)
            AfterSaveDialog();
        return chosen;
    }
    std::unique_ptr<TPassProgress> ShowProgress(const std::string& label) override
    {
        return std::make_unique<TCancellingProgress>(*this, label == CancelPass);
    }
    TPNGGraphic& WorkBitmap() override { return Picture; }

private:
    class TCancellingProgress : public TPassProgress {
    public:
        TCancellingProgress(TFakeFrontEnd& frontEnd, bool cancel) : fFrontEnd(frontEnd), fCancel(cancel) {}
        bool Report(int64_t, int64_t) override
        {
            if (!fCancel)
                return true;
            ++fFrontEnd.Cancels;
            return false;
        }

    private:
        TFakeFrontEnd& fFrontEnd;
        bool fCancel;
    };

    std::optional<std::string> Answer()
    {
        if (Answers.empty())
            return std::nullopt;
        std::optional<std::string> answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

// The flows of the window with a fake front-end, in a temporary folder;
// every test starts from the program's start state.
class FlowTest : public TFolderTest {
protected:
    FlowTest()
        : TFolderTest("pix-flow")
    {
    }
    void SetUp() override
    {
        ImageLoaded = false;
        ImageFileName.clear();
        PngImage.reset();
        ColorTable.Reset();
    }
    std::string PathText(const std::string& name) const { return Utf8((fFolder / PathFromUtf8(name)).make_preferred()); }

    // Clicks the load button, choosing name (or cancelling for nullopt).
    void Load(const std::optional<std::string>& name)
    {
        Front.Answers.push_back(name ? std::optional(PathText(*name)) : std::nullopt);
        RunLoadFlow(Front);
    }
    // Clicks the save button, choosing name (or cancelling for nullopt).
    void Export(const std::optional<std::string>& name)
    {
        Front.Answers.push_back(name ? std::optional(PathText(*name)) : std::nullopt);
        RunExportFlow(Front);
    }

    TFakeFrontEnd Front;
};

// The table pixcsv makes of a file, for comparing with the window's.
inline std::string ConvertedByPixCsv(const std::string& png)
{
    TStringSink converted;
    std::ostringstream out, err;
    TPixCsvStreams streams{converted, out, err};
    EXPECT_EQ(RunPixCsv({"-q", "-o", "-", png}, streams), kPixCsvDone) << err.str();
    return converted.Bytes;
}

// The workbook pixcsv writes of png, in a folder of its own.
inline std::string WorkbookByPixCsv(const std::string& png)
{
    const TTempFolder folder("pix-workbook");
    const std::string output = Utf8(folder / "table.xlsx");
    TStringSink unused;
    std::ostringstream out, err;
    TPixCsvStreams streams{unused, out, err};
    EXPECT_EQ(RunPixCsv({"-q", "-o", output, png}, streams), kPixCsvDone) << err.str();
    return ReadFile(folder / "table.xlsx");
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

// A loaded example picture, ready to be exported into trouble, as the
// kind of table its parameter's extension asks for.
class ExportFaultsTest : public FlowTest, public ::testing::WithParamInterface<const char*> {
protected:
    static std::string Table(const std::string& stem) { return stem + GetParam(); }
    // The table pixcsv writes of a picture in the test's folder.
    std::string ConvertedTable(const std::string& png) const
    {
        return std::string(GetParam()) == ".csv" ? ConvertedByPixCsv(PathText(png)) : WorkbookByPixCsv(PathText(png));
    }

    void SetUp() override
    {
        FlowTest::SetUp();
        WriteFile(fFolder / "cat.png", ExamplePng());
        Load("cat.png");
    }

    // Exports to name, running beforeWrite between the dialog and the write.
    void ExportWith(const std::string& name, const std::function<void()>& beforeWrite)
    {
        Front.AfterSaveDialog = beforeWrite;
        Export(name);
        Front.AfterSaveDialog = nullptr;
    }

    void CancelPassAndExportAgain(const char* label, std::size_t dialogs);
    void ExpectFullDiskKeepsThePreviousTable(uint32_t width, uint32_t height);

    // After any failure the picture stays loaded and exports at once.
    void ExpectExportStillWorks()
    {
        EXPECT_TRUE(ImageLoaded);
        Export(Table("again"));
        EXPECT_TRUE(ReadFile(fFolder / Table("again")) == ConvertedTable("cat.png"));
    }
};

} // namespace pix::testing
