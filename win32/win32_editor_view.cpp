#include "win32_editor_view.h"

#include "editor_texts.h"
#include "errors.h"
#include "late_libraries.h"
#include "main_window.h"
#include "windows_text.h"

#include <commdlg.h>
#include <initguid.h>
#include <oleacc.h>
#include <shlobj.h>

#include <cstring>

namespace zentab::win32 {

namespace {

using editor::ControlId;
using editor::ControlKind;

const editor::ControlDescription& Describe(ControlId id) { return editor::WindowControls()[std::size_t(id)]; }

std::wstring WindowText(HWND hwnd)
{
    std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

std::wstring BoxTitle()
{
    return Widen(editor::ApplicationTitle(Narrow(ExecutablePath().filename().wstring())));
}

std::filesystem::path RoamingSettings()
{
    // Not SHGetKnownFolderPath: its answer is COM memory, and COM is not
    // loaded before the window shows.
    wchar_t folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
        return {};
    return std::filesystem::path(folder) / Widen(zentab::editor::kSettingsFolderName) /
           Widen(zentab::editor::kSettingsFileName);
}

// Room for any path the system takes, long paths included.
constexpr DWORD kPathRoom = 32768;

std::optional<std::filesystem::path> FileDialog(HWND owner, const std::filesystem::path& proposed, bool save)
{
    std::wstring buffer(kPathRoom, L'\0');
    const std::wstring name = proposed.wstring();
    if (name.size() < buffer.size())
        buffer.replace(0, name.size(), name);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kPathRoom;
    // No filter: a module read out of a drive has whatever name the tool gave it.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (save)
        dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FORCESHOWHIDDEN;
    else
        dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!ShowFileDialog(dialog, save))
        return std::nullopt;
    return std::filesystem::path(buffer.c_str());
}

}  // namespace

std::filesystem::path ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void SetAccessibleText(HWND control, const std::string& name, const std::string& description)
{
    // Controls are named by their caption otherwise, and a field by the
    // label before it, which says "1" for every row.
    // One service object for all the controls; made at the first use.
    static IAccPropServices* services = [] {
        IAccPropServices* made = nullptr;
        if (FAILED(CreateComObject(CLSID_AccPropServices, IID_IAccPropServices, reinterpret_cast<void**>(&made))))
            return static_cast<IAccPropServices*>(nullptr);
        return made;
    }();
    if (!services)
        return;
    if (!name.empty())
        services->SetHwndPropStr(control, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, Widen(name).c_str());
    if (!description.empty())
        services->SetHwndPropStr(control, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                 Widen(description).c_str());
}

Win32EditorView::Win32EditorView(MainWindow& window) : window_(window)
{
    settingsFiles.push_back(ExecutablePath().parent_path() / Widen(zentab::editor::kSettingsFileName));
    if (std::filesystem::path roaming = RoamingSettings(); !roaming.empty())
        settingsFiles.push_back(roaming);
    openFile = [this] { return FileDialog(window_.hwnd(), {}, false); };
    saveFile = [this](const std::filesystem::path& proposed) { return FileDialog(window_.hwnd(), proposed, true); };
    messageBox = [this](const std::string& text, bool error) {
        MessageBoxW(window_.hwnd(), Widen(text).c_str(), BoxTitle().c_str(),
                    MB_OK | (error ? MB_ICONSTOP : 0) | MB_TASKMODAL);
    };
}

std::string Win32EditorView::text(ControlId control) const
{
    const HWND hwnd = window_.control(control);
    return hwnd ? Narrow(WindowText(hwnd)) : std::string();
}

void Win32EditorView::setText(ControlId control, const std::string& text)
{
    const HWND hwnd = window_.control(control);
    const std::wstring wide = Widen(text);
    // An edit raises EN_CHANGE within WM_SETTEXT, so an LBA field's size
    // label follows before this returns; an equal text raises nothing.
    if (hwnd && WindowText(hwnd) != wide)
        SetWindowTextW(hwnd, wide.c_str());
}

void Win32EditorView::setFieldActive(ControlId control, bool active)
{
    // The colour follows the state: an enabled edit asks for its colours
    // with WM_CTLCOLOREDIT (the window colour), a disabled one with
    // WM_CTLCOLORSTATIC (the button face).
    const HWND hwnd = window_.control(control);
    Enable(hwnd, active);
    if (const HWND button = window_.lbaButton(control))
        Enable(button, active);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void Win32EditorView::setEnabled(ControlId control, bool enabled) { Enable(window_.control(control), enabled); }

void Win32EditorView::Enable(HWND hwnd, bool enabled)
{
    // Disabling the focused control leaves the focus nowhere, and Tab and
    // Esc with it; it moves on to the next control, as in the Qt window.
    const HWND focus = GetFocus();
    const bool hadFocus = !enabled && focus && (focus == hwnd || IsChild(hwnd, focus));
    EnableWindow(hwnd, enabled);
    if (!hadFocus)
        return;
    const HWND top = GetAncestor(hwnd, GA_ROOT);
    const HWND next = GetNextDlgTabItem(top, hwnd, FALSE);
    SetFocus(next && next != hwnd ? next : top);
}

void Win32EditorView::setDescription(ControlId control, const std::string& text)
{
    // The texts set at the start first, so that they do not overwrite this one.
    window_.completeStart();
    SetAccessibleText(window_.control(control), Describe(control).accessibleName, text);
}

void Win32EditorView::setCaption(const std::string& caption) { SetWindowTextW(window_.hwnd(), Widen(caption).c_str()); }

void Win32EditorView::setListItems(ControlId control, const std::vector<std::string>& items)
{
    // Resetting the list empties the edit part too; the prompt comes back.
    const HWND combo = window_.control(control);
    const std::wstring prompt = WindowText(combo);
    SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(Widen(item).c_str()));
    SetWindowTextW(combo, prompt.c_str());
    SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(combo, nullptr, TRUE);
}

void Win32EditorView::showMessage(const std::string& text) { messageBox(text, false); }

void Win32EditorView::showError(const std::string& text) { messageBox(text, true); }

std::optional<std::filesystem::path> Win32EditorView::chooseFileToOpen() { return openFile(); }

std::optional<std::filesystem::path> Win32EditorView::chooseFileToSave(const std::filesystem::path& proposed)
{
    return saveFile(proposed);
}

void Win32EditorView::setClipboardText(const std::string& text)
{
    const std::wstring wide = Widen(text);
    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 5 && !open; ++attempt) {
        open = OpenClipboard(window_.hwnd());
        if (!open)
            Sleep(10);
    }
    if (!open)
        throw PlatformError("Cannot open clipboard");
    EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, wide.c_str(), bytes);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory))
                GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void Win32EditorView::processPendingEvents() { window_.processPending(); }

std::string Win32EditorView::decimalSeparator() const
{
    // Up to three characters (Arabic's is U+066B), each kept as it is.
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1)
        return Narrow(separator);
    return ".";
}

}  // namespace zentab::win32
