#pragma once

#include "app/MainWindow.h"
#include "app/WindowState.h"
#include "colours/ColorTable.h"
#include "controls/TsImage.h"
#include "png/PngImage.h"
#include "tests/support/PngWriter.h"

#include <QFileDialog>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace pix::testing {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const fs::path& path, const TBytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

// White, black, white over black, black, red: the 16-byte table.
inline TBytes ExamplePng()
{
    return EncodePng(TSampleImage{3, 2, 8, 2, {255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 0, 0}},
                     false);
}
inline constexpr const char* kExampleCsv = "3;1;3;\r\n1;1;2;\r\n";

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
        fFolder = fs::temp_directory_path()
            / ("pix-flow-" + std::to_string(getpid()) + "-"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(fFolder);
        fs::create_directories(fFolder);
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
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(fFolder, ignored);
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

    fs::path fFolder;
    std::unique_ptr<TForm1> fForm;
    std::deque<std::optional<QString>> Answers;
    std::vector<TDialogSeen> Seen;
};

} // namespace pix::testing
