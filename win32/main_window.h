#pragma once
// The editor's one window in Win32: controls built from the shared window
// description, the session's view over them, and events forwarded to the
// session. No rule of the module lives here.

#include "editor_session.h"
#include "module_state.h"
#include "win32_editor_view.h"

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <functional>
#include <vector>

namespace zentab::win32 {

class MainWindow {
public:
    static constexpr const wchar_t* kClassName = L"TfmZentabEditor";

    explicit MainWindow(Module& module);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls, runs FormCreate, then shows it
    // centred on its monitor. False when the system refused the window.
    bool create(int showCommand);

    // The program's arguments, taken up once the message loop runs, so that
    // a module given on the command line loads into a window already shown.
    void openWhenShown(std::vector<std::filesystem::path> arguments);

    // What the first paint does not need: the tool tips and the texts for
    // screen readers (and with them COM). Done once the queue is first empty
    // after the window showed, or earlier when something needs it.
    void completeStart();
    bool startCompleted() const { return startCompleted_; }

    HWND hwnd() const { return hwnd_; }
    // The control's window; nullptr for panels (painted) and menu items.
    HWND control(editor::ControlId id) const;
    // The "…" button of an LBA field.
    HWND lbaButton(editor::ControlId field) const;
    HMENU fromHeadMenu() const { return fromHeads_; }
    int dpi() const { return dpi_; }
    // The WM_COMMAND identifier of a control or menu item.
    static int CommandId(editor::ControlId id) { return kFirstCommand + id; }

    Win32EditorView& view() { return view_; }
    editor::EditorSession& session() { return session_; }

    // Keyboard handling of the message loop: Ctrl+O, Ctrl+S, Tab, Esc.
    // True when the message was handled and must not be dispatched.
    bool translate(MSG& message);
    // Dispatches what is queued, then returns; WM_QUIT is left for the loop.
    void processPending();

    // The From Head menu at a screen point; the chosen command or 0. The
    // tests answer it instead of the user.
    std::function<int(HMENU, POINT)> trackMenu;
    // The program ends when its window is destroyed; a test's window does not.
    bool quitOnDestroy = true;

private:
    static constexpr int kFirstCommand = 1000;
    static constexpr int kFirstLbaButton = 20000;
    static constexpr UINT kLoadDropped = WM_APP + 1;
    static constexpr UINT kOpenArguments = WM_APP + 2;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT field(HWND hwnd, editor::ControlId id, UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int code, HWND from);
    void click(editor::ControlId button);
    void capacityChanged();
    void fromHeadMenu(POINT at);
    void dropFiles(HDROP drop);
    // control_builder.cpp: the controls from the description, and their
    // places and fonts at a density. Fonts first: the controls are made in
    // their places, in their fonts.
    void chooseFonts(int dpi);
    void buildControls();
    void layout(int dpi);
    RECT placeOf(editor::ControlId id, HDC dc) const;
    RECT lbaButtonPlace(const RECT& fieldClient) const;
    void fitLbaButton(editor::ControlId field);
    void paintPanels(HDC dc);
    void afterCommand();

    HWND hwnd_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<HWND> lbaButtons_;
    HMENU fromHeads_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HFONT windowFont_ = nullptr;
    HFONT sizeFont_ = nullptr;
    HWND tooltip_ = nullptr;
    int dpi_ = 96;
    bool created_ = false;
    bool startCompleted_ = false;
    // A close asked for while Save lets events in waits until Save is done.
    bool closePending_ = false;
    // A pick of the entry already shown raises no selection change; the end
    // of the pick copies then, unless the change did it already.
    bool copiedSincePick_ = false;
    std::filesystem::path dropped_;
    std::vector<std::filesystem::path> startArguments_;

    Win32EditorView view_;
    editor::EditorSession session_;
};

}  // namespace zentab::win32
