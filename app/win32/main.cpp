#include "app/core/CommandLine.h"
#include "app/core/Messages.h"
#include "app/win32/MainWindow.h"
#include "platform/Utf16.h"

#include <windows.h>

#include <exception>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // The switch is judged on the command line as the system hands it over.
    if (pix::HasVersionSwitch(pix::CommandLineParameters(pix::Utf8FromWide(GetCommandLineW()))))
        pix::ShowNoticeBox(pix::kVersionNotice);
    try {
        pix::TForm1 Form1(instance);
        ShowWindow(Form1.Handle(), showCommand);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return static_cast<int>(message.wParam);
    } catch (const std::exception& failure) {
        pix::ShowErrorBox(nullptr, pix::FailureMessage(failure));
        return 1;
    }
}
