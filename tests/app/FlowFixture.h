#pragma once

#include "app/MainWindow.h"
#include "app/WindowState.h"
#include "colours/ColorTable.h"
#include "controls/TsImage.h"
#include "png/PngImage.h"
#include "tests/app/ExampleTable.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

#include <QFileDialog>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace pix::testing {

namespace fs = std::filesystem;

// What a file dialog showed when the flow ran it.
struct TDialogSeen {
    QFileDialog* dialog;
    QString title;
    QStringList filters;
    QString directory;
    QStringList selected;
};

// A window whose file dialogs are answered from a queue instead of being
// shown; an empty queue answers as a cancel. Every test starts from the
// program's start state.
class FlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fTemp.emplace("pix-flow");
        fFolder = fTemp->Path();
        ImageLoaded = false;
        ImageFileName.clear();
        PngImage.reset();
        fForm = std::make_unique<TForm1>();
        fForm->RunFileDialog = [this](QFileDialog& dialog) -> std::optional<QString> {
            Seen.push_back({&dialog, dialog.windowTitle(), dialog.nameFilters(), dialog.directory().absolutePath(),
                            dialog.selectedFiles()});
            if (Answers.empty())
                return std::nullopt;
            const std::optional<QString> answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
    }
    QString Path(const std::string& name) const { return QString::fromStdString((fFolder / name).string()); }
    std::string PathText(const std::string& name) const { return (fFolder / name).string(); }

    // Clicks the load button, choosing name (or cancelling for nullopt).
    void Load(const std::optional<std::string>& name)
    {
        Answers.push_back(name ? std::optional<QString>(Path(*name)) : std::nullopt);
        fForm->Button1Click(fForm->sImage1);
    }
    // Clicks the save button, choosing name (or cancelling for nullopt).
    void Export(const std::optional<std::string>& name)
    {
        Answers.push_back(name ? std::optional<QString>(Path(*name)) : std::nullopt);
        fForm->Button2Click(fForm->sImage2);
    }

    std::optional<TTempFolder> fTemp;
    fs::path fFolder;
    std::unique_ptr<TForm1> fForm;
    std::deque<std::optional<QString>> Answers;
    std::vector<TDialogSeen> Seen;
};

} // namespace pix::testing
