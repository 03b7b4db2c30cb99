#include "app/core/CommandLine.h"
#include "app/core/Messages.h"
#include "app/qt/Application.h"
#include "app/qt/MainWindow.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Read before the application object exists: Qt takes its own options
    // out of argv, and the switch is judged on the command line as given.
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);

    pix::TApplication application(argc, argv);
    if (pix::HasVersionSwitch(arguments))
        pix::TApplication::ShowNoticeBox(QString::fromUtf8(pix::kVersionNotice));

    pix::TForm1 Form1;
    Form1.show();
    return application.exec();
}
