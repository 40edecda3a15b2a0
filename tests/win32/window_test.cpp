// The real Win32 window in this process, driven with window messages: text,
// clicks, keys, the From Head menu and a drop. The file dialogs, message
// boxes and the menu's choice are answered through the view's seams.

#include "expected_capacities.h"
#include "main_window.h"
#include "module_builder.h"
#include "text_fit.h"
#include "windows_text.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include <deque>
#include <fstream>
#include <functional>
#include <memory>

namespace {

using zentab::editor::Controls;
using zentab::editor::ControlId;
using zentab::editor::LbaField;
using zentab::editor::ModelField;
using zentab::editor::SizeLabel;
using zentab::testkit::ModuleBuilder;
using Path = std::filesystem::path;

std::vector<std::uint8_t> FileBytes(const Path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const Path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return "<closed>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = zentab::Narrow(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void PutOnClipboard(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A Cyrillic folder: names reach the file layer as UTF-16.
        dir = std::filesystem::temp_directory_path() /
              (L"zentab-окно-" + zentab::Widen(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        // The last key in 8-bit text, as a Russian system writes 2000ГБ.
        std::ofstream(dir / L"ZentabEditor.ini")
            << "[CAPACITY]\r\n500GB=976773168\r\n2000GB=3907029168\r\n2000\xC3\xC1=3907029000\r\n";
        open();
    }

    // A window of its own, which reads the settings file as it starts.
    void open()
    {
        window = std::make_unique<zentab::win32::MainWindow>(module);
        window->quitOnDestroy = false;
        auto& view = window->view();
        view.settingsFiles = {dir / L"ZentabEditor.ini"};
        view.openFile = [this] { return Take(openAnswers); };
        view.saveFile = [this](const Path& proposed) {
            proposedNames.push_back(proposed);
            return Take(saveAnswers);
        };
        view.messageBox = [this](const std::string& text, bool error) { (error ? errors : messages).push_back(text); };
        window->trackMenu = [this](HMENU menu, POINT) {
            menuItems = GetMenuItemCount(menu);
            return menuAnswer;
        };
        ASSERT_TRUE(window->create(SW_SHOWNORMAL));
        pump();
    }

    void TearDown() override
    {
        window.reset();
        // What the destroyed window left queued, without it.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        std::filesystem::remove_all(dir);
    }

    static std::optional<Path> Take(std::deque<Path>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        Path answer = answers.front();
        answers.pop_front();
        return answer.empty() ? std::nullopt : std::optional<Path>(answer);
    }

    HWND at(ControlId id) const { return window->control(id); }
    void pump() { window->processPending(); }
    std::string text(ControlId id) const { return window->view().text(id); }

    Path write(const std::string& name, const ModuleBuilder& builder)
    {
        const Path path = dir / zentab::Widen(name);
        WriteBytes(path, builder.build().bytes);
        return path;
    }

    void load(const Path& path)
    {
        openAnswers.push_back(path);
        click(Controls().btLoad);
    }

    void click(ControlId button)
    {
        SendMessageW(at(button), BM_CLICK, 0, 0);
        pump();
    }

    void setText(ControlId id, const std::string& value)
    {
        SendMessageW(at(id), WM_SETTEXT, 0, LPARAM(zentab::Widen(value).c_str()));
        pump();
    }

    void type(ControlId id, const std::wstring& chars)
    {
        SetFocus(at(id));
        for (wchar_t ch : chars)
            PostMessageW(at(id), WM_CHAR, WPARAM(ch), 1);
        pump();
    }

    // A key as the keyboard sends it, through the window's own loop.
    void key(HWND target, UINT vk, bool alt = false)
    {
        SetFocus(target);
        const LPARAM scan = LPARAM(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, scan | 1 | (alt ? 1 << 29 : 0));
        PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, scan | 1 | (alt ? 1 << 29 : 0) | (3u << 30));
        pump();
    }

    void ctrlKey(char letter)
    {
        BYTE state[256];
        GetKeyboardState(state);
        BYTE pressed[256];
        std::memcpy(pressed, state, sizeof state);
        pressed[VK_CONTROL] = 0x80;
        SetKeyboardState(pressed);
        key(at(Controls().edModel), UINT(letter));
        SetKeyboardState(state);
    }

    void rightClick(ControlId id)
    {
        PostMessageW(at(id), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        PostMessageW(at(id), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        pump();
    }

    void drop(const Path& path)
    {
        const std::wstring name = path.wstring();
        const std::size_t bytes = sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GHND, bytes);
        auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), name.c_str(), name.size() * sizeof(wchar_t));
        GlobalUnlock(memory);
        PostMessageW(window->hwnd(), WM_DROPFILES, WPARAM(memory), 0);
        pump();
        pump();
    }

    zentab::Module module;
    std::unique_ptr<zentab::win32::MainWindow> window;
    Path dir;
    std::deque<Path> openAnswers;
    std::deque<Path> saveAnswers;
    std::vector<Path> proposedNames;
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    int menuAnswer = 0;
    int menuItems = 0;
};

TEST_F(WindowTest, OpensFixedSizeWithItsTitleAndEveryControl)
{
    RECT client;
    GetClientRect(window->hwnd(), &client);
    EXPECT_EQ(client.right, MulDiv(1268, window->dpi(), 96));
    EXPECT_EQ(client.bottom, MulDiv(663, window->dpi(), 96));
    const LONG style = GetWindowLongW(window->hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    wchar_t title[128];
    GetWindowTextW(window->hwnd(), title, 128);
    EXPECT_EQ(std::wstring(title), L"Редактор списка моделей");

    const auto& controls = zentab::editor::WindowControls();
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        const auto kind = controls[std::size_t(id)].kind;
        const bool windowed = kind != zentab::editor::ControlKind::Panel &&
                              kind != zentab::editor::ControlKind::PopupMenu &&
                              kind != zentab::editor::ControlKind::MenuItem;
        EXPECT_EQ(at(id) != nullptr, windowed) << controls[std::size_t(id)].name;
    }
    for (int f = 1; f <= 6; ++f) {
        for (int r = 1; r <= 10; ++r) {
            EXPECT_FALSE(IsWindowEnabled(at(ModelField(f, r))));
            EXPECT_FALSE(IsWindowEnabled(at(LbaField(f, r))));
            EXPECT_FALSE(IsWindowEnabled(window->lbaButton(LbaField(f, r))));
        }
    }
    EXPECT_FALSE(IsWindowEnabled(at(Controls().btSave)));
    EXPECT_FALSE(IsWindowEnabled(at(Controls().btAuto)));
    EXPECT_EQ(text(Controls().cbStdCapacity), "Copy Std Capacity");
    EXPECT_EQ(SendMessageW(at(Controls().cbStdCapacity), CB_GETCOUNT, 0, 0), 3);
}

// Every text whole: the widest text each control can show, in the font the
// window gave it at each scale, against the room the control gives it.
TEST_F(WindowTest, EveryTextFitsAtEveryScale)
{
    const auto& controls = zentab::editor::WindowControls();
    for (const int dpi : {96, 120, 144, 192}) {
        RECT suggested{};
        GetWindowRect(window->hwnd(), &suggested);
        SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
        ASSERT_EQ(window->dpi(), dpi);
        for (const auto role : {zentab::editor::FontRole::Window, zentab::editor::FontRole::SizeText}) {
            for (const zentab::editor::TextToFit& fit : zentab::editor::TextsToFit(role, window->view().decimalSeparator())) {
                const HWND control = at(fit.control);
                ASSERT_NE(control, nullptr);
                const auto& described = controls[std::size_t(fit.control)];
                RECT client{};
                GetClientRect(control, &client);
                int room = client.right;
                COMBOBOXINFO combo{};
                combo.cbSize = sizeof combo;
                if (described.kind == zentab::editor::ControlKind::ComboBox && GetComboBoxInfo(control, &combo)) {
                    const LRESULT margins = SendMessageW(combo.hwndItem, EM_GETMARGINS, 0, 0);
                    GetClientRect(combo.hwndItem, &client);
                    room = client.right - LOWORD(margins) - HIWORD(margins);
                } else if (described.rect.width == 0 || described.kind == zentab::editor::ControlKind::Button ||
                           described.kind == zentab::editor::ControlKind::GroupBox) {
                    room = MulDiv(fit.room, dpi, 96);  // a caption sized to its text, a frame around the text
                }
                const HDC dc = GetDC(control);
                const HGDIOBJ previous = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
                for (const std::string& text : fit.texts) {
                    const std::wstring wide = zentab::Widen(text);
                    SIZE extent{};
                    GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &extent);
                    EXPECT_LE(extent.cx, room) << described.name << " \"" << text << "\" at " << dpi << " dpi";
                }
                SelectObject(dc, previous);
                ReleaseDC(control, dc);
            }
        }
    }
}

// The stacking of the controls: Tab walks the description's tab order, an
// LBA field's button lies just above its field, and the group boxes are at
// the bottom so that they paint first.
TEST_F(WindowTest, TabFollowsTheDescriptionAndGroupsPaintFirst)
{
    load(write("m.bin", ModuleBuilder().rows(10)));
    const auto& controls = zentab::editor::WindowControls();
    std::vector<ControlId> stops;
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        if (controls[std::size_t(id)].tabOrder > 0 && IsWindowEnabled(at(id)))
            stops.push_back(id);
    }
    std::sort(stops.begin(), stops.end(), [&](ControlId a, ControlId b) {
        return controls[std::size_t(a)].tabOrder < controls[std::size_t(b)].tabOrder;
    });
    HWND walked = at(stops.front());
    for (std::size_t i = 1; i <= stops.size(); ++i) {
        walked = GetNextDlgTabItem(window->hwnd(), walked, FALSE);
        const HWND expected = at(stops[i % stops.size()]);
        // A combo box's stop is its edit part.
        ASSERT_TRUE(walked == expected || GetParent(walked) == expected) << controls[std::size_t(stops[i % stops.size()])].name;
        walked = expected;
    }
    for (int f = 1; f <= 6; ++f) {
        for (int r = 1; r <= 10; ++r)
            EXPECT_EQ(GetWindow(window->lbaButton(LbaField(f, r)), GW_HWNDNEXT), at(LbaField(f, r)));
    }
    HWND bottom = GetWindow(GetWindow(window->hwnd(), GW_CHILD), GW_HWNDLAST);
    for (int groups = 0; groups < 6; ++groups, bottom = GetWindow(bottom, GW_HWNDPREV)) {
        wchar_t name[16] = {};
        GetClassNameW(bottom, name, 16);
        EXPECT_EQ(GetWindowLongW(bottom, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX) << zentab::Narrow(name);
    }
}

// Load, an edit, Save: the saved bytes against a module built with the edit.
struct EditCase {
    const char* name;
    ModuleBuilder module;
    std::function<void(WindowTest&)> edit;
    // The module the saved file must equal; nullopt: Save refuses, nothing written.
    std::function<std::optional<ModuleBuilder>(WindowTest&)> expected;
};

class WindowEditTest : public WindowTest, public ::testing::WithParamInterface<int> {
public:
    using WindowTest::click;
    using WindowTest::key;
    using WindowTest::setText;
    using WindowTest::text;
    using WindowTest::type;
    using WindowTest::at;
    using WindowTest::drop;
    using WindowTest::rightClick;
    using WindowTest::menuAnswer;
    using WindowTest::menuItems;
    using WindowTest::window;
    using WindowTest::pump;
};

ModuleBuilder Rows(int rows) { return ModuleBuilder().rows(rows); }

const std::vector<EditCase>& EditCases()
{
    static const std::vector<EditCase> cases = {
        {"UnchangedSavesTheSameBytes", Rows(4), [](WindowTest&) {}, [](WindowTest&) { return Rows(4); }},
        {"TypedNameAndCapacities", Rows(4),
         [](WindowTest& t) {
             auto& w = static_cast<WindowEditTest&>(t);
             w.setText(ModelField(2, 1), "");
             w.type(ModelField(2, 1), L"WD5000AAKS-00A7B0");
             w.setText(LbaField(3, 1), "500G");
             w.key(w.at(LbaField(3, 1)), VK_RETURN);
             w.setText(LbaField(4, 2), "1T");
             w.key(w.at(LbaField(4, 2)), VK_DOWN, true);
             w.setText(LbaField(5, 3), "250G");
             SendMessageW(w.window->lbaButton(LbaField(5, 3)), BM_CLICK, 0, 0);
             w.pump();
             w.key(w.at(LbaField(6, 4)), VK_RETURN);  // a plain number stays as it is
         },
         [](WindowTest&) {
             return std::optional(
                 Rows(4).name(1, 2, "WD5000AAKS-00A7B0").value(1, 3, 976773168).value(2, 4, 1953525168).value(3, 5, 488397168));
         }},
        {"EscPressesAuto", Rows(4),
         [](WindowTest& t) {
             auto& w = static_cast<WindowEditTest&>(t);
             w.setText(LbaField(1, 1), std::to_string(zentab::testkit::kAutoHead0));
             w.key(w.at(ModelField(3, 2)), VK_ESCAPE);
         },
         [](WindowTest& t) {
             auto& w = static_cast<WindowEditTest&>(t);
             ModuleBuilder b = Rows(4);
             for (int f = 1; f <= 6; ++f) {
                 for (int r = 1; r <= 4; ++r) {
                     const auto& cell = zentab::testkit::kAutoRows[f - 1][r - 1];
                     EXPECT_EQ(w.text(LbaField(f, r)), std::to_string(cell.lba));
                     EXPECT_EQ(w.text(SizeLabel(f, r)), cell.size);
                     EXPECT_NE(w.text(ModelField(f, r)).find(cell.number), std::string::npos);
                     b.value(r, f, cell.lba).name(r, f, w.text(ModelField(f, r)));
                 }
             }
             return std::optional(b);
         }},
        {"FromHeadMenuOnAuto", Rows(4),
         [](WindowTest& t) {
             auto& w = static_cast<WindowEditTest&>(t);
             w.setText(LbaField(1, 2), "977105060");
             w.menuAnswer = zentab::win32::MainWindow::CommandId(Controls().miFromHead[1]);
             w.rightClick(Controls().btAuto);
             EXPECT_EQ(w.menuItems, 10);
         },
         [](WindowTest& t) {
             auto& w = static_cast<WindowEditTest&>(t);
             ModuleBuilder b = Rows(4);
             for (int r = 1; r <= 4; ++r) {
                 const std::string value = w.text(LbaField(1, r));
                 EXPECT_NE(value, std::to_string(Rows(4).defaultValue(r, 1))) << "row " << r << " not filled";
                 b.value(r, 1, std::stoll(value)).name(r, 1, w.text(ModelField(1, r)));
             }
             EXPECT_EQ(w.text(LbaField(2, 1)), std::to_string(Rows(4).defaultValue(1, 2)));
             return std::optional(b);
         }},
        {"ValueBeyondStdIsRefused", Rows(4),
         [](WindowTest& t) { static_cast<WindowEditTest&>(t).setText(LbaField(2, 2), "5000000000"); },
         [](WindowTest&) { return std::optional<ModuleBuilder>(); }},
        {"NewLayoutTakesIt", Rows(3).newLayout(),
         [](WindowTest& t) { static_cast<WindowEditTest&>(t).setText(LbaField(2, 2), "5000000000"); },
         [](WindowTest&) { return std::optional(Rows(3).newLayout().value(2, 2, 5000000000)); }},
        // FF..FF, shown as -1, is the module's own: only typed values are judged.
        {"UntouchedNegativeValuesSaveAsRead", Rows(11).newLayout().value(2, 1, -1).value(11, 6, -1),
         [](WindowTest& t) { static_cast<WindowEditTest&>(t).setText(LbaField(3, 3), "12345"); },
         [](WindowTest&) {
             return std::optional(Rows(11).newLayout().value(2, 1, -1).value(11, 6, -1).value(3, 3, 12345));
         }},
    };
    return cases;
}

TEST_P(WindowEditTest, SavesWhatTheWindowShows)
{
    const EditCase& c = EditCases()[std::size_t(GetParam())];
    const Path input = write("модуль.bin", c.module);
    const std::vector<std::uint8_t> before = FileBytes(input);
    load(input);
    ASSERT_TRUE(IsWindowEnabled(at(Controls().btSave)));
    c.edit(*this);
    const std::optional<ModuleBuilder> expected = c.expected(*this);
    saveAnswers.push_back(input);
    click(Controls().btSave);
    EXPECT_TRUE(errors.empty()) << errors.front();
    if (expected) {
        EXPECT_TRUE(messages.empty()) << messages.front();
        ASSERT_EQ(proposedNames.size(), 1u);
        EXPECT_EQ(proposedNames[0], input);
        EXPECT_EQ(FileBytes(input), expected->build().bytes);
    } else {
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_TRUE(proposedNames.empty());
        EXPECT_EQ(FileBytes(input), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Window, WindowEditTest, ::testing::Range(0, int(EditCases().size())),
                         [](const auto& info) { return std::string(EditCases()[std::size_t(info.param)].name); });

TEST_F(WindowTest, DroppedFileLoadsAndCtrlSSavesIt)
{
    const Path input = write("сброшен.bin", Rows(2));
    load(write("ten.bin", Rows(10)));
    SetFocus(at(LbaField(1, 10)));
    drop(input);
    // Row 10 went out of use under the focus; the keyboard still has a place.
    EXPECT_FALSE(IsWindowEnabled(at(LbaField(1, 10))));
    ASSERT_NE(GetFocus(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(GetFocus()) && IsChild(window->hwnd(), GetFocus()));
    wchar_t title[256];
    GetWindowTextW(window->hwnd(), title, 256);
    EXPECT_EQ(std::wstring(title), L"Редактор списка моделей - сброшен.bin");
    EXPECT_EQ(text(ModelField(1, 2)), ModuleBuilder::defaultName(2, 1));
    const Path output = dir / L"копия.bin";
    saveAnswers.push_back(output);
    ctrlKey('S');
    EXPECT_EQ(FileBytes(output), FileBytes(input));
}

// "Open with" and a drop on the program: the command line's module, in a
// Cyrillic folder, loads once the window runs; the rest is named; a missing
// file gets Load's error and the window goes on.
TEST_F(WindowTest, CommandLineModuleLoadsAsADrop)
{
    std::filesystem::create_directory(dir / L"модули");
    const Path input = write("модули/m.bin", Rows(3));
    window->openWhenShown({input, L"/x", L"-y"});
    pump();
    EXPECT_EQ(text(ModelField(1, 3)), ModuleBuilder::defaultName(3, 1));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("\n-y"), std::string::npos) << messages[0];
    EXPECT_EQ(messages[0].find("m.bin"), std::string::npos) << messages[0];
    saveAnswers.push_back({});
    click(Controls().btSave);
    ASSERT_EQ(proposedNames.size(), 1u);
    EXPECT_EQ(proposedNames[0], input);

    window->openWhenShown({dir / L"нет.bin"});
    pump();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("нет.bin"), std::string::npos) << errors[0];
    load(input);
    EXPECT_EQ(text(ModelField(1, 1)), ModuleBuilder::defaultName(1, 1));
}

TEST_F(WindowTest, SaveAfterACancelledLoadWritesNothing)
{
    const Path input = write("m.bin", Rows(2));
    load(input);
    openAnswers.push_back({});  // cancel
    ctrlKey('O');
    EXPECT_FALSE(IsWindowEnabled(at(ModelField(1, 1))));
    saveAnswers.push_back(input);
    click(Controls().btSave);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(proposedNames.empty());
}

// Edit, Save (or cancel its dialog), then type the loaded text back: the
// value saves as it was read, not as the earlier edit.
TEST_F(WindowTest, LoadedTextTypedBackAfterASaveSavesAsRead)
{
    for (bool isNew : {false, true}) {
        for (bool confirmed : {true, false}) {
            SCOPED_TRACE(std::string(isNew ? "NEW" : "STD") + (confirmed ? ", saved" : ", cancelled"));
            const ModuleBuilder module = Rows(4).newLayout(isNew).value(2, 3, isNew ? -1 : 123456);
            load(write("m.bin", module));
            const std::wstring loaded = zentab::Widen(text(LbaField(3, 2)));
            setText(LbaField(3, 2), "");
            type(LbaField(3, 2), isNew ? L"5" : L"1000000");
            saveAnswers.push_back(confirmed ? dir / L"first.bin" : Path());
            click(Controls().btSave);
            setText(LbaField(3, 2), "");
            type(LbaField(3, 2), loaded);
            saveAnswers.push_back(dir / L"second.bin");
            click(Controls().btSave);
            EXPECT_EQ(FileBytes(dir / L"second.bin"), module.build().bytes);
            EXPECT_TRUE(messages.empty()) << messages.front();
            EXPECT_TRUE(errors.empty()) << errors.front();
        }
    }
}

TEST_F(WindowTest, AnErrorIsShownAndTheWindowGoesOn)
{
    load(dir / L"нет.bin");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Cannot open file \"", 0), 0u) << errors[0];
    load(write("m.bin", Rows(2)));
    EXPECT_EQ(text(ModelField(1, 1)), ModuleBuilder::defaultName(1, 1));
}

// Keys that must do nothing, or something limited.
TEST_F(WindowTest, KeysOutsideTheirPlaceDoNothing)
{
    key(at(Controls().edModel), VK_ESCAPE);  // Auto is still disabled
    EXPECT_TRUE(messages.empty());
    load(write("m.bin", Rows(2)));
    const std::string name = text(ModelField(1, 1));
    key(at(ModelField(1, 1)), VK_DOWN, true);
    EXPECT_EQ(text(ModelField(1, 1)), name);
    key(at(Controls().edModel), VK_ESCAPE);  // Auto runs: head 0 holds the loaded value
    EXPECT_TRUE(messages.empty());
    setText(LbaField(1, 1), "");
    key(at(ModelField(2, 2)), VK_ESCAPE);
    EXPECT_EQ(messages, std::vector<std::string>{"Enter LBA Size for Head 0"});
}

TEST_F(WindowTest, NamesTakeLatin1UpToTheLimit)
{
    // Replaced: text put in as an input method's result or an inserted
    // control character arrives; set: WM_SETTEXT from any program.
    struct Case {
        const wchar_t* typed;
        const wchar_t* pasted;
        std::string shown;
        const wchar_t* replaced = nullptr;
        const wchar_t* set = nullptr;
    } cases[] = {
        {L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", nullptr, "ABCDEFGHIJKLMNOPQRSTUVWX"},
        {L"Caf\u00e9 \u0416", nullptr, "Caf\u00e9 "},
        {nullptr, L"0123456789012345678901234567\r\nnext", "012345678901234567890123"},
        {nullptr, L"\u0416\u0417", ""},
        {L"AB", nullptr, "A\u00e9xB", L"\u041c\u200e\u00e9"},
        {nullptr, nullptr, " 2", nullptr, L"\u041c\u043e\u0434\u0435\u043b\u044c 2"},
    };
    const HWND edit = at(Controls().edModel);
    for (const Case& c : cases) {
        setText(Controls().edModel, "");
        if (c.typed)
            type(Controls().edModel, c.typed);
        if (c.pasted) {
            PutOnClipboard(c.pasted);
            SendMessageW(edit, WM_PASTE, 0, 0);
        }
        if (c.replaced) {
            SendMessageW(edit, EM_SETSEL, 1, 1);
            SendMessageW(edit, EM_REPLACESEL, TRUE, LPARAM(c.replaced));
            type(Controls().edModel, L"x");  // lands where the caret was left
        }
        if (c.set)
            SetWindowTextW(edit, c.set);
        EXPECT_EQ(text(Controls().edModel), c.shown);
    }
}

TEST_F(WindowTest, StandardCapacityGoesToTheClipboard)
{
    const HWND combo = at(Controls().cbStdCapacity);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), LPARAM(combo));
    EXPECT_EQ(text(Controls().cbStdCapacity), "2000GB");
    EXPECT_EQ(ClipboardText(), "3907029168");
    SetWindowTextW(combo, L"500gb");
    SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_EDITCHANGE), LPARAM(combo));
    EXPECT_EQ(ClipboardText(), "976773168");
    SetWindowTextW(combo, L"500g");
    SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_EDITCHANGE), LPARAM(combo));
    EXPECT_EQ(ClipboardText(), "");
    // The 8-bit key reads in the system's code page, and picking it copies.
    wchar_t shown[3] = {};
    MultiByteToWideChar(CP_ACP, 0, "\xC3\xC1", 2, shown, 2);
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), LPARAM(combo));
    EXPECT_EQ(text(Controls().cbStdCapacity), "2000" + zentab::Narrow(shown));
    EXPECT_EQ(text(Controls().cbStdCapacity).find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(ClipboardText(), "3907029000");

    // Saved by Notepad as "Unicode": UTF-16 after its byte-order mark.
    const std::wstring unicode = L"\uFEFF[CAPACITY]\r\n2000\u0413\u0411=3907029168\r\n";
    std::ofstream(dir / L"ZentabEditor.ini", std::ios::binary)
        .write(reinterpret_cast<const char*>(unicode.data()), std::streamsize(unicode.size() * sizeof(wchar_t)));
    window.reset();
    open();
    const HWND fresh = at(Controls().cbStdCapacity);
    EXPECT_EQ(SendMessageW(fresh, CB_GETCOUNT, 0, 0), 1);
    SendMessageW(fresh, CB_SETCURSEL, 0, 0);
    SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(fresh), CBN_SELCHANGE), LPARAM(fresh));
    EXPECT_EQ(text(Controls().cbStdCapacity), "2000\xD0\x93\xD0\x91");
    EXPECT_EQ(ClipboardText(), "3907029168");
    PutOnClipboard(L"stale");
    SetWindowTextW(fresh, L"2000\u0433\u0431");
    SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(fresh), CBN_EDITCHANGE), LPARAM(fresh));
    EXPECT_EQ(ClipboardText(), "3907029168");
}

}  // namespace
