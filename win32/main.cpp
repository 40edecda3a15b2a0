// Start-up: the one window with its module state, then the message loop. A
// module named on the command line ("Open with", a drop on the program or
// its shortcut) is loaded once the window is shown.

#include "main_window.h"

#include <commctrl.h>
#include <objbase.h>
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
    // The file dialogs and the accessibility properties are COM objects.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    static zentab::Module module;
    int status = 1;
    {
        zentab::win32::MainWindow window(module);
        if (window.create(showCommand)) {
            window.openWhenShown(StartArguments());
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (!window.translate(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            status = int(message.wParam);
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
