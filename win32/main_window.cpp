#include "main_window.h"

#include "windows_text.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <exception>

namespace zentab::win32 {

namespace {

using editor::ControlId;
using editor::ControlKind;

const editor::ControlDescription& Describe(ControlId id) { return editor::WindowControls()[std::size_t(id)]; }

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // no sizing, no minimise or maximise
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;

// Functions of Windows 10; looked up so the program still starts on older
// systems, at 96 dpi there.
UINT DpiOf(HWND hwnd)
{
    using Function = UINT(WINAPI*)(HWND);
    static const auto function =
        reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (function) {
        if (const UINT dpi = function(hwnd))
            return dpi;
    }
    const HDC dc = GetDC(hwnd);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(hwnd, dc);
    return dpi > 0 ? UINT(dpi) : 96;
}

SIZE WindowSizeFor(int clientWidth, int clientHeight, UINT dpi)
{
    RECT rect = {0, 0, clientWidth, clientHeight};
    using Function = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto function = reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!function || !function(&rect, kStyle, FALSE, kExStyle, dpi))
        AdjustWindowRectEx(&rect, kStyle, FALSE, kExStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The text of the first Unicode clipboard entry, up to its first line end.
std::wstring ClipboardLine(HWND owner)
{
    std::wstring text;
    if (!OpenClipboard(owner))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text.substr(0, text.find_first_of(L"\r\n"));
}

// What reaches a name field by a way no key or paste handler sees (an input
// method's result, an inserted control character, WM_SETTEXT) is kept to
// Latin-1 here, as the edit announces the change and before it is drawn.
void KeepLatin1(HWND edit)
{
    std::wstring text(std::size_t(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(edit, text.data(), int(text.size()))));
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    std::wstring kept;
    DWORD keptStart = start, keptEnd = end;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] <= 0xFF) {
            kept += text[i];
            continue;
        }
        keptStart -= i < start ? 1 : 0;
        keptEnd -= i < end ? 1 : 0;
    }
    if (kept.size() == text.size())
        return;
    MessageBeep(MB_OK);
    SetWindowTextW(edit, kept.c_str());
    SendMessageW(edit, EM_SETSEL, keptStart, keptEnd);
}

}  // namespace

MainWindow::MainWindow(Module& module) : view_(*this), session_(module, view_)
{
    trackMenu = [this](HMENU menu, POINT at) {
        return int(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, hwnd_,
                                  nullptr));
    };
}

MainWindow::~MainWindow()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
    if (fromHeads_)
        DestroyMenu(fromHeads_);
    if (accelerators_)
        DestroyAcceleratorTable(accelerators_);
    if (windowFont_)
        DeleteObject(windowFont_);
    if (sizeFont_)
        DeleteObject(sizeFont_);
}

HWND MainWindow::control(ControlId id) const
{
    return id >= 0 && std::size_t(id) < controls_.size() ? controls_[std::size_t(id)] : nullptr;
}

HWND MainWindow::lbaButton(ControlId field) const
{
    return field >= 0 && std::size_t(field) < lbaButtons_.size() ? lbaButtons_[std::size_t(field)] : nullptr;
}

bool MainWindow::create(int showCommand)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    windowClass.hIcon = HICON(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                         GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = HICON(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                           LR_DEFAULTCOLOR));
    RegisterClassExW(&windowClass);  // already registered by an earlier window of a test: fine

    const editor::WindowDescription& description = editor::EditorWindow();
    hwnd_ = CreateWindowExW(kExStyle, kClassName, Widen(description.title).c_str(), kStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, this);
    if (!hwnd_)
        return false;
    chooseFonts(int(DpiOf(hwnd_)));
    buildControls();
    created_ = true;
    session_.FormCreate();

    // Centred on the monitor the system chose for it.
    const SIZE size = WindowSizeFor(MulDiv(description.clientWidth, dpi_, 96),
                                    MulDiv(description.clientHeight, dpi_, 96), UINT(dpi_));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - size.cx) / 2,
                 work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd_, showCommand);
    SetFocus(control(editor::Controls().btLoad));
    UpdateWindow(hwnd_);
    return true;
}

bool MainWindow::translate(MSG& message)
{
    if (!hwnd_)
        return false;
    return TranslateAcceleratorW(hwnd_, accelerators_, &message) || IsDialogMessageW(hwnd_, &message);
}

void MainWindow::processPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            return;
        }
        if (!translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    completeStart();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may unwind through the system's frames; what escapes a
    // command is shown, and the program goes on.
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::exception& error) {
        self->session_.reportError(error.what());
        return 0;
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        afterCommand();
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == control(editor::Controls().btAuto)) {
            fromHeadMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            afterCommand();
            return 0;
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        // Editable fields on the window colour; disabled ones, labels and
        // group captions on the button face.
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const int background = message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
        SetTextColor(dc, GetSysColor(IsWindowEnabled(reinterpret_cast<HWND>(lParam)) ? COLOR_WINDOWTEXT
                                                                                     : COLOR_GRAYTEXT));
        SetBkColor(dc, GetSysColor(background));
        return LRESULT(GetSysColorBrush(background));
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd_, &paint);
        paintPanels(dc);
        EndPaint(hwnd_, &paint);
        return 0;
    }
    case WM_DROPFILES:
        dropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case kLoadDropped:
        if (!dropped_.empty()) {
            const std::filesystem::path path = std::move(dropped_);
            dropped_.clear();
            session_.LoadDroppedFile(path);
        }
        afterCommand();
        return 0;
    case kOpenArguments: {
        const std::vector<std::filesystem::path> arguments = std::move(startArguments_);
        startArguments_.clear();
        session_.OpenStartArguments(arguments);
        afterCommand();
        return 0;
    }
    case WM_DPICHANGED: {
        layout(HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        // Save lets events in while it sums the checksum; the window must
        // outlive it, so the close waits for its end.
        if (session_.saving()) {
            closePending_ = true;
            return 0;
        }
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        if (tooltip_)
            DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        if (quitOnDestroy)
            PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        const HWND gone = hwnd_;
        hwnd_ = nullptr;
        controls_.assign(controls_.size(), nullptr);
        lbaButtons_.assign(lbaButtons_.size(), nullptr);
        created_ = false;
        return DefWindowProcW(gone, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindow::afterCommand()
{
    if (closePending_ && !session_.saving() && hwnd_) {
        closePending_ = false;
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
}

void MainWindow::click(ControlId button)
{
    if (!IsWindowEnabled(control(button)))
        return;
    const editor::NamedControls& named = editor::Controls();
    if (button == named.btLoad)
        session_.btLoadClick();
    else if (button == named.btSave)
        session_.btSaveClick();
    else if (button == named.btAuto)
        session_.btAutoClick();
}

void MainWindow::command(int id, int code, HWND from)
{
    if (!created_)
        return;
    const editor::NamedControls& named = editor::Controls();
    if (id >= kFirstLbaButton) {
        const ControlId field = id - kFirstLbaButton;
        if (code == BN_CLICKED && IsWindowEnabled(lbaButton(field))) {
            // The focus stays in the field, as with a button that takes none.
            SetFocus(control(field));
            session_.LBA11ButtonClick(field);
        }
        return;
    }
    if (id == IDCANCEL) {
        // Esc presses Auto, as a dialog's cancel button, wherever the focus is.
        click(named.btAuto);
        return;
    }
    const ControlId control = id - kFirstCommand;
    if (control < 0 || std::size_t(control) >= editor::WindowControls().size())
        return;
    const editor::ControlDescription& c = Describe(control);
    const bool fromMenuOrKey = from == nullptr;
    switch (c.kind) {
    case ControlKind::Button:
        if (fromMenuOrKey || code == BN_CLICKED)
            click(control);
        break;
    case ControlKind::MenuItem:
        if (fromMenuOrKey)
            session_.miFromHeadClick(c.row);
        break;
    case ControlKind::LbaEdit:
        if (code == EN_CHANGE)
            session_.LBAChange(c.format, c.row);
        break;
    case ControlKind::NameEdit:
        if (code == EN_UPDATE && from)
            KeepLatin1(from);
        break;
    case ControlKind::ComboBox:
        if (code == CBN_DROPDOWN)
            copiedSincePick_ = false;
        else if (code == CBN_EDITCHANGE)
            session_.cbStdCapacityChange();
        else if (code == CBN_SELCHANGE || (code == CBN_SELENDOK && !copiedSincePick_))
            capacityChanged();
        break;
    default:
        break;
    }
}

void MainWindow::capacityChanged()
{
    // The edit part still shows the old text while the selection changes;
    // the session reads the picked key from it.
    const HWND combo = control(editor::Controls().cbStdCapacity);
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return;
    std::wstring key(std::size_t(SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(index), 0)) + 1, L'\0');
    key.resize(std::size_t(SendMessageW(combo, CB_GETLBTEXT, WPARAM(index), LPARAM(key.data()))));
    SetWindowTextW(combo, key.c_str());
    copiedSincePick_ = true;
    session_.cbStdCapacityChange();
}

void MainWindow::fromHeadMenu(POINT at)
{
    const HWND auto_ = control(editor::Controls().btAuto);
    if (!IsWindowEnabled(auto_))
        return;
    if (at.x == -1 && at.y == -1) {
        // From the keyboard (Shift+F10, the menu key): below the button.
        RECT rect;
        GetWindowRect(auto_, &rect);
        at = {rect.left, rect.bottom};
    }
    if (const int chosen = trackMenu(fromHeads_, at))
        command(chosen, 0, nullptr);
}

void MainWindow::openWhenShown(std::vector<std::filesystem::path> arguments)
{
    if (arguments.empty())
        return;
    startArguments_ = std::move(arguments);
    PostMessageW(hwnd_, kOpenArguments, 0, 0);
}

void MainWindow::dropFiles(HDROP drop)
{
    // One file, not a folder, and not while Save lets events in: a drop is
    // a Load, and a Load then would empty the image under the checksum.
    std::filesystem::path path;
    if (!session_.saving() && DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        std::wstring name(std::size_t(DragQueryFileW(drop, 0, nullptr, 0)) + 1, L'\0');
        name.resize(DragQueryFileW(drop, 0, name.data(), UINT(name.size())));
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            path = name;
    }
    DragFinish(drop);
    if (path.empty())
        return;
    // Loaded once the drop is over, so the program the file came from is
    // not kept waiting by a message box that Load may show.
    dropped_ = std::move(path);
    PostMessageW(hwnd_, kLoadDropped, 0, 0);
}

LRESULT CALLBACK MainWindow::FieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self)
{
    try {
        return reinterpret_cast<MainWindow*>(self)->field(hwnd, ControlId(id), message, wParam, lParam);
    } catch (const std::exception& error) {
        reinterpret_cast<MainWindow*>(self)->session_.reportError(error.what());
        return 0;
    }
}

LRESULT MainWindow::field(HWND hwnd, ControlId id, UINT message, WPARAM wParam, LPARAM lParam)
{
    const editor::ControlDescription& c = Describe(id);
    const bool lba = c.kind == ControlKind::LbaEdit;
    const bool name = c.kind == ControlKind::NameEdit;
    switch (message) {
    case WM_GETDLGCODE:
        // Enter belongs to an LBA field: it converts a capacity there.
        if (lba && lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN && wParam == VK_RETURN)
            return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, message, wParam, lParam);
        break;
    case WM_CHAR:
        if (lba) {
            session_.LBA11KeyPress(id, char32_t(wParam));
            if (wParam == L'\r')
                return 0;  // handled; a single-line edit would only beep
        }
        // A name is 8-bit text in the module, one Latin-1 character a byte:
        // anything beyond would be saved as something else than shown.
        if (name && wParam > 0xFF) {
            MessageBeep(MB_OK);
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        if (lba && wParam == VK_DOWN) {
            if (IsWindowEnabled(hwnd))
                session_.LBA11ButtonClick(id);
            return 0;
        }
        break;
    case WM_PASTE:
        if (name) {
            // The typing limit and Latin-1 hold for a paste too; one line of
            // the clipboard, cut to the room left.
            const std::wstring line = ClipboardLine(hwnd_);
            for (wchar_t ch : line) {
                if (ch > 0xFF) {
                    MessageBeep(MB_OK);
                    return 0;
                }
            }
            DWORD start = 0, end = 0;
            SendMessageW(hwnd, EM_GETSEL, WPARAM(&start), LPARAM(&end));
            const int kept = GetWindowTextLengthW(hwnd) - int(end - start);
            const int room = c.typingLimit > kept ? c.typingLimit - kept : 0;
            const std::wstring insert = line.substr(0, std::size_t(room));
            SendMessageW(hwnd, EM_REPLACESEL, TRUE, LPARAM(insert.c_str()));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, FieldProc, UINT_PTR(id));
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace zentab::win32
