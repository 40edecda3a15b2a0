// Start-up: the one window with its module state, then the message loop.
// Command-line arguments are ignored.

#include "main_window.h"

#include <commctrl.h>
#include <objbase.h>

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
