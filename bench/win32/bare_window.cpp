// The yardstick of the start-up benchmark: a plain Win32 window with the
// editor's controls (same classes, same count, same places), and nothing
// else: no session, no fonts, no settings file, no accessibility texts.
// Started with a file, it shows the file's name in its title, as the editor
// does once it has loaded it.

#include "window_description.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace {

using zentab::editor::ControlKind;

const wchar_t* ClassOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::GroupBox:
    case ControlKind::Button:
        return WC_BUTTONW;
    case ControlKind::Caption:
    case ControlKind::SizeLabel:
    case ControlKind::TextLabel:
        return WC_STATICW;
    case ControlKind::Edit:
    case ControlKind::NameEdit:
    case ControlKind::LbaEdit:
        return WC_EDITW;
    case ControlKind::ComboBox:
        return WC_COMBOBOXW;
    default:
        return nullptr;
    }
}

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassW(&windowClass);
    RECT rect = {0, 0, 1268, 663};
    AdjustWindowRect(&rect, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE);
    std::wstring title = L"Bare";
    int count = 0;
    if (wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count)) {
        if (count > 1) {
            const std::wstring file = words[1];
            title += L" - " + file.substr(file.find_last_of(L"\\/") + 1);
        }
        LocalFree(words);
    }
    const HWND hwnd = CreateWindowW(L"BareWindow", title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                    CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                    instance, nullptr);
    const auto& controls = zentab::editor::WindowControls();
    for (const auto& c : controls) {
        const wchar_t* name = ClassOf(c.kind);
        if (!name)
            continue;
        int x = c.rect.x, y = c.rect.y;
        for (int up = c.parent; up != zentab::editor::kNoControl; up = controls[std::size_t(up)].parent) {
            x += controls[std::size_t(up)].rect.x;
            y += controls[std::size_t(up)].rect.y;
        }
        const DWORD style = c.kind == ControlKind::GroupBox ? BS_GROUPBOX
                            : c.kind == ControlKind::ComboBox ? CBS_DROPDOWN
                                                              : 0;
        const HWND made = CreateWindowExW(0, name, L"", WS_CHILD | WS_VISIBLE | style, x, y, c.rect.width,
                                          c.rect.height, hwnd, nullptr, instance, nullptr);
        if (c.kind == ControlKind::LbaEdit)
            CreateWindowExW(0, WC_BUTTONW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 18, 20, made, nullptr, instance, nullptr);
    }
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
