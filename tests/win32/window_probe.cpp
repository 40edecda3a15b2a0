// Looks at the running editor from outside, as the user would see it.
//   window_probe check TITLE   waits for the visible window and its title,
//                              prints the title and client size; fails
//                              unless the title is TITLE and the client
//                              1268x663 at 96 dpi, in proportion at others
//   window_probe close         closes it and waits for its process to end;
//                              fails unless it ends by itself with status 0

#include "windows_text.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND FindEditor(int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        const HWND found = FindWindowW(L"TfmZentabEditor", nullptr);
        if (found && IsWindowVisible(found))
            return found;
        Sleep(100);
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const HWND editor = FindEditor(30);
    if (!editor) {
        std::fprintf(stderr, "no editor window\n");
        return 1;
    }
    if (command == L"check" && argc > 2) {
        // Painted once the program first waits for input.
        DWORD processId = 0;
        GetWindowThreadProcessId(editor, &processId);
        if (const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
            WaitForInputIdle(process, 20000);
            CloseHandle(process);
        }
        // A module given on the command line names itself in the title once loaded.
        wchar_t title[512] = {};
        for (int i = 0; i < 100; ++i) {
            GetWindowTextW(editor, title, 512);
            if (std::wstring(title) == argv[2])
                break;
            Sleep(100);
        }
        RedrawWindow(editor, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT client{};
        GetClientRect(editor, &client);
        std::printf("title: %s\nclient: %ldx%ld\n", zentab::Narrow(title).c_str(), client.right, client.bottom);
        // The client area scales with the window's dpi.
        const HDC dc = GetDC(editor);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(editor, dc);
        std::printf("dpi: %d\n", dpi);
        return std::wstring(title) == argv[2] && client.right == MulDiv(1268, dpi, 96) &&
                       client.bottom == MulDiv(663, dpi, 96)
                   ? 0
                   : 1;
    }
    if (command == L"close") {
        DWORD processId = 0;
        GetWindowThreadProcessId(editor, &processId);
        const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        PostMessageW(editor, WM_CLOSE, 0, 0);
        DWORD status = 1;
        if (!process || WaitForSingleObject(process, 20000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &status)) {
            std::fprintf(stderr, "the editor did not end\n");
            return 1;
        }
        std::printf("exit status: %lu\n", status);
        return status == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: window_probe check TITLE | close\n");
    return 2;
}
