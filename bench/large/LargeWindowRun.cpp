// The window on one large picture, without a display: the load button, a
// paint of the window with its preview, the save button, each file dialog
// answered through the window's dialog seam. After each stage it prints the
// wall time and the peak resident memory of that stage.
//   large_window_run INPUT.png OUTPUT.csv

#include "app/qt/Application.h"
#include "app/qt/MainWindow.h"
#include "app/core/WindowState.h"
#include "controls/qt/TsImage.h"
#include "tests/support/ProcessStatus.h"

#include <QFileDialog>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>

namespace {

unsigned long long StatusMebibytes(const char* key)
{
    return pix::testing::StatusKibibytes(key) / 1024;
}

// Linux: writing 5 to clear_refs starts the peak resident size afresh, so
// each stage's peak is its own.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

template <class Stage>
void Measure(const char* name, Stage stage)
{
    ResetPeak();
    const auto start = std::chrono::steady_clock::now();
    stage();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-8s %8.2f s   peak %6llu MiB   resident after %6llu MiB\n", name, seconds,
                StatusMebibytes("VmHWM:"), StatusMebibytes("VmRSS:"));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: large_window_run INPUT.png OUTPUT.csv\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::deque<QString> answers = {QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2])};

    pix::TApplication application(argc, argv);
    pix::TForm1 form;
    form.RunFileDialog = [&](QFileDialog&) -> std::optional<QString> {
        if (answers.empty())
            return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        return answer;
    };
    form.show();

    Measure("load", [&] { form.Button1Click(form.sImage1); });
    if (!pix::ImageLoaded) {
        std::fprintf(stderr, "the picture did not load\n");
        return 1;
    }
    Measure("preview", [&] { form.grab().toImage(); });
    Measure("export", [&] { form.Button2Click(form.sImage2); });
    return 0;
}
