// Start-up: the one window with its module state, then the message loop. A
// module named on the command line ("Open with", a drop on the program or
// its shortcut) is loaded once the window is shown.

#include "main_window.h"

#include "late_libraries.h"

#include <commctrl.h>
#include <shellapi.h>

#include <filesystem>
#include <vector>

namespace {

// The words after the program's name, split as the shell quoted them.
std::vector<std::filesystem::path> StartArguments()
{
    std::vector<std::filesystem::path> arguments;
    int count = 0;
    if (wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments.emplace_back(words[i]);
        LocalFree(words);
    }
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    static zentab::Module module;
    int status = 1;
    {
        zentab::win32::MainWindow window(module);
        if (window.create(showCommand)) {
            window.openWhenShown(StartArguments());
            MSG message;
            for (;;) {
                // Nothing queued, no paint due: the window is on screen.
                if (!window.startCompleted() && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
                    window.completeStart();
                if (GetMessageW(&message, nullptr, 0, 0) <= 0)
                    break;
                if (!window.translate(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            status = int(message.wParam);
        }
    }
    zentab::win32::StopCom();
    return status;
}
