// Builds the window's controls from the shared window description and lays
// them out at the monitor's density.

#include "main_window.h"
#include "text_fit.h"
#include "windows_text.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>

namespace zentab::win32 {

namespace {

using editor::ControlDescription;
using editor::ControlId;
using editor::ControlKind;

constexpr int kLbaButtonWidth = 18;  // at 96 dpi, as in the Qt window
constexpr int kComboListHeight = 220;

int Scale(int value, int dpi) { return MulDiv(value, dpi, 96); }

// The description's places are in the parent's client coordinates; every
// control here is a child of the window itself, so group boxes paint under
// the fields and Tab walks one flat list.
editor::Rect InWindow(ControlId id)
{
    const auto& controls = editor::WindowControls();
    editor::Rect rect = controls[std::size_t(id)].rect;
    for (ControlId up = controls[std::size_t(id)].parent; up != editor::kNoControl;
         up = controls[std::size_t(up)].parent) {
        rect.x += controls[std::size_t(up)].rect.x;
        rect.y += controls[std::size_t(up)].rect.y;
    }
    return rect;
}

struct FontSearch {
    bool found = false;
    bool scalable = false;
};

int CALLBACK NoteFont(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM data)
{
    auto* search = reinterpret_cast<FontSearch*>(data);
    search->found = true;
    search->scalable = search->scalable || (type & RASTER_FONTTYPE) == 0;
    return 1;
}

// Whether a family is installed, and whether it scales; a font search is
// slow, so each family is looked up once per run.
FontSearch FamilyFacts(const std::string& family)
{
    static std::map<std::string, FontSearch> known;
    if (const auto found = known.find(family); found != known.end())
        return found->second;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = Widen(family);
    wcsncpy(wanted.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    FontSearch search;
    const HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, NoteFont, LPARAM(&search), 0);
    ReleaseDC(nullptr, dc);
    return known[family] = search;
}

std::wstring FaceName(const std::string& family) { return family.empty() ? L"MS Shell Dlg 2" : Widen(family); }

HFONT MakeFont(const std::wstring& family, int pixels, bool bold)
{
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       family.c_str());
}

struct Made {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

Made ClassOf(const ControlDescription& c)
{
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (c.tabOrder > 0 ? WS_TABSTOP : 0);
    const DWORD align = c.align == editor::TextAlign::Right ? SS_RIGHT : SS_LEFT;
    switch (c.kind) {
    case ControlKind::GroupBox:
        return {WC_BUTTONW, child | BS_GROUPBOX, 0};
    case ControlKind::Caption:
        return {WC_STATICW, child | align | SS_NOPREFIX | (c.rect.height > 0 ? SS_CENTERIMAGE : 0), 0};
    case ControlKind::SizeLabel:
    case ControlKind::TextLabel:
        return {WC_STATICW, child | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_ENDELLIPSIS, 0};
    case ControlKind::Edit:
    case ControlKind::NameEdit:
        return {WC_EDITW, child | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::LbaEdit:
        return {WC_EDITW, child | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button:
        return {WC_BUTTONW, child | BS_PUSHBUTTON, 0};
    case ControlKind::ComboBox:
        return {WC_COMBOBOXW, child | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0};
    default:
        return {nullptr, 0, 0};
    }
}

}  // namespace

// The order controls are made in is their order from the top: Tab follows
// it, so the tab stops come first in tab order (an LBA field's button just
// above its field), then the rest, and the group boxes last, so that they
// paint first and the fields over them. Made in this order, nothing has to
// be moved in the stack afterwards, which costs at start-up.
std::vector<ControlId> CreationOrder()
{
    const auto& controls = editor::WindowControls();
    std::vector<ControlId> stops, rest, groups;
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        const ControlDescription& c = controls[std::size_t(id)];
        (c.tabOrder > 0 ? stops : c.kind == ControlKind::GroupBox ? groups : rest).push_back(id);
    }
    std::stable_sort(stops.begin(), stops.end(), [&](ControlId a, ControlId b) {
        return controls[std::size_t(a)].tabOrder < controls[std::size_t(b)].tabOrder;
    });
    stops.insert(stops.end(), rest.begin(), rest.end());
    stops.insert(stops.end(), groups.begin(), groups.end());
    return stops;
}

void MainWindow::buildControls()
{
    const auto& controls = editor::WindowControls();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    controls_.assign(controls.size(), nullptr);
    lbaButtons_.assign(controls.size(), nullptr);
    const HDC dc = GetDC(hwnd_);
    for (const ControlId id : CreationOrder()) {
        const ControlDescription& c = controls[std::size_t(id)];
        if (c.kind == ControlKind::PopupMenu) {
            fromHeads_ = CreatePopupMenu();
            continue;
        }
        if (c.kind == ControlKind::MenuItem) {
            AppendMenuW(fromHeads_, MF_STRING, UINT_PTR(CommandId(id)), Widen(c.caption).c_str());
            continue;
        }
        const Made made = ClassOf(c);
        if (!made.windowClass)
            continue;  // panels: their frames are painted by the window
        // Made disabled rather than disabled after: every change of state
        // is a message and a repaint, which start-up cannot afford 120 times.
        const DWORD disabled = c.enabled ? 0 : WS_DISABLED;
        const RECT at = placeOf(id, dc);
        HWND button = nullptr;
        RECT buttonAt{};
        if (c.kind == ControlKind::LbaEdit) {
            // The field's button lies over its right end, above it: an edit
            // paints through its children, so it cannot hold the button.
            // Made first, so that it is above the field, where the field's
            // frame will leave its client area.
            RECT frame = {0, 0, 0, 0};
            AdjustWindowRectEx(&frame, made.style, FALSE, made.exStyle);
            buttonAt = lbaButtonPlace({at.left - frame.left, at.top - frame.top, at.right - frame.right,
                                       at.bottom - frame.bottom});
            button = CreateWindowExW(0, WC_BUTTONW, Widen(zentab::editor::EditorWindow().lbaButtonCaption).c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON | disabled, buttonAt.left,
                                     buttonAt.top, buttonAt.right - buttonAt.left, buttonAt.bottom - buttonAt.top, hwnd_,
                                     HMENU(INT_PTR(kFirstLbaButton + id)), instance, nullptr);
            lbaButtons_[std::size_t(id)] = button;
            SendMessageW(button, WM_SETFONT, WPARAM(windowFont_), FALSE);
        }
        const HWND hwnd = CreateWindowExW(made.exStyle, made.windowClass, Widen(c.caption).c_str(),
                                          made.style | disabled, at.left, at.top, at.right - at.left, at.bottom - at.top, hwnd_,
                                          HMENU(INT_PTR(CommandId(id))), instance, nullptr);
        controls_[std::size_t(id)] = hwnd;
        SendMessageW(hwnd, WM_SETFONT, WPARAM(c.font == editor::FontRole::SizeText ? sizeFont_ : windowFont_), FALSE);
        if (c.kind == ControlKind::NameEdit || c.kind == ControlKind::LbaEdit || c.kind == ControlKind::Edit) {
            if (c.typingLimit > 0)
                SendMessageW(hwnd, EM_LIMITTEXT, WPARAM(c.typingLimit), 0);
            SetWindowSubclass(hwnd, FieldProc, UINT_PTR(id), DWORD_PTR(this));
        }
        if (button)
            fitLbaButton(id);
        if (c.kind == ControlKind::ComboBox) {
            // A drop-down box takes its edit text only once it exists.
            SetWindowTextW(hwnd, Widen(c.caption).c_str());
        }
    }
    ReleaseDC(hwnd_, dc);

    std::vector<ACCEL> keys;
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        const std::string& shortcut = controls[std::size_t(id)].shortcut;
        if (shortcut.size() == 6 && shortcut.starts_with("Ctrl+"))
            keys.push_back({FVIRTKEY | FCONTROL, WORD(shortcut.back()), WORD(CommandId(id))});
    }
    accelerators_ = CreateAcceleratorTableW(keys.data(), int(keys.size()));
}

void MainWindow::completeStart()
{
    if (startCompleted_ || !created_)
        return;
    startCompleted_ = true;
    const auto& controls = editor::WindowControls();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX tips = {sizeof tips, ICC_TAB_CLASSES};
    InitCommonControlsEx(&tips);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               0, 0, 0, 0, hwnd_, nullptr, instance, nullptr);
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        const ControlDescription& c = controls[std::size_t(id)];
        const HWND hwnd = control(id);
        if (!hwnd)
            continue;
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        const bool hasEdit = c.kind == ControlKind::ComboBox && GetComboBoxInfo(hwnd, &combo);
        if (!c.hint.empty() && tooltip_) {
            std::wstring hint = Widen(c.hint);
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = hwnd_;
            tool.lpszText = hint.data();
            for (HWND part : {hwnd, hasEdit ? combo.hwndItem : nullptr}) {
                if (!part)
                    continue;
                tool.uId = UINT_PTR(part);
                SendMessageW(tooltip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
            }
        }
        if (hasEdit)
            SetAccessibleText(combo.hwndItem, c.editAccessibleName, c.editAccessibleDescription);
        SetAccessibleText(hwnd, c.accessibleName, c.accessibleDescription);
    }
}

void MainWindow::chooseFonts(int dpi)
{
    dpi_ = dpi;
    const HDC dc = GetDC(hwnd_);
    // A bitmap face only at the 96 dpi its sizes were drawn for.
    const auto usable = [dpi](const std::string& family) {
        const FontSearch facts = FamilyFacts(family);
        return facts.found && (facts.scalable || dpi == 96);
    };
    editor::FontChoice measured;
    HFONT measuring = nullptr;
    const auto width = [&](const editor::FontChoice& font, const std::string& text) {
        if (!measuring || font.family != measured.family || font.pixels != measured.pixels ||
            font.bold != measured.bold) {
            if (measuring)
                DeleteObject(measuring);
            measuring = MakeFont(FaceName(font.family), font.pixels, font.bold);
            measured = font;
        }
        const HGDIOBJ previous = SelectObject(dc, measuring);
        const std::wstring wide = Widen(text);
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &extent);
        SelectObject(dc, previous);
        return int(extent.cx);
    };
    const std::string separator = view_.decimalSeparator();
    const editor::FontChoice windowChoice = editor::ChooseFont(editor::FontRole::Window, dpi, usable, width, separator);
    const editor::FontChoice sizeChoice = editor::ChooseFont(editor::FontRole::SizeText, dpi, usable, width, separator);
    if (measuring)
        DeleteObject(measuring);
    ReleaseDC(hwnd_, dc);
    windowFont_ = MakeFont(FaceName(windowChoice.family), windowChoice.pixels, windowChoice.bold);
    sizeFont_ = MakeFont(FaceName(sizeChoice.family), sizeChoice.pixels, sizeChoice.bold);
}

RECT MainWindow::placeOf(ControlId id, HDC dc) const
{
    const ControlDescription& c = editor::WindowControls()[std::size_t(id)];
    const editor::Rect at = InWindow(id);
    int width = Scale(at.width, dpi_);
    int height = Scale(at.height, dpi_);
    if (c.kind == ControlKind::Caption && at.width == 0) {
        // Sized to its text, as a label with automatic size is.
        const std::wstring text = Widen(c.caption);
        const HGDIOBJ previous = SelectObject(dc, c.font == editor::FontRole::SizeText ? sizeFont_ : windowFont_);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
        SelectObject(dc, previous);
        width = extent.cx;
        height = extent.cy;
    }
    if (c.kind == ControlKind::ComboBox)
        height += Scale(kComboListHeight, dpi_);
    const int x = Scale(at.x, dpi_);
    const int y = Scale(at.y, dpi_);
    return {x, y, x + width, y + height};
}

RECT MainWindow::lbaButtonPlace(const RECT& fieldClient) const
{
    // Inside the field's frame, over the end of its client area.
    const int buttonWidth = Scale(kLbaButtonWidth, dpi_);
    return {fieldClient.right - buttonWidth, fieldClient.top, fieldClient.right, fieldClient.bottom};
}

void MainWindow::fitLbaButton(ControlId field)
{
    const HWND hwnd = control(field);
    const HWND button = lbaButton(field);
    RECT client{};
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, hwnd_, reinterpret_cast<POINT*>(&client), 2);
    const RECT place = lbaButtonPlace(client);
    RECT now{};
    GetWindowRect(button, &now);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&now), 2);
    if (!EqualRect(&now, &place))
        MoveWindow(button, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
    // The text stops short of the button.
    SendMessageW(hwnd, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, Scale(kLbaButtonWidth, dpi_) + Scale(2, dpi_)));
}

void MainWindow::layout(int dpi)
{
    const HFONT oldWindowFont = windowFont_;
    const HFONT oldSizeFont = sizeFont_;
    chooseFonts(dpi);
    const HDC dc = GetDC(hwnd_);
    const auto& controls = editor::WindowControls();
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        const HWND hwnd = controls_[std::size_t(id)];
        if (!hwnd)
            continue;
        const ControlDescription& c = controls[std::size_t(id)];
        SendMessageW(hwnd, WM_SETFONT, WPARAM(c.font == editor::FontRole::SizeText ? sizeFont_ : windowFont_), FALSE);
        const RECT at = placeOf(id, dc);
        MoveWindow(hwnd, at.left, at.top, at.right - at.left, at.bottom - at.top, FALSE);
        if (const HWND button = lbaButton(id)) {
            SendMessageW(button, WM_SETFONT, WPARAM(windowFont_), FALSE);
            fitLbaButton(id);
        }
    }
    ReleaseDC(hwnd_, dc);
    if (oldWindowFont)
        DeleteObject(oldWindowFont);
    if (oldSizeFont)
        DeleteObject(oldSizeFont);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void MainWindow::paintPanels(HDC dc)
{
    const auto& controls = editor::WindowControls();
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        const ControlDescription& c = controls[std::size_t(id)];
        if (c.kind != ControlKind::Panel || c.frame == editor::Frame::None)
            continue;
        const editor::Rect at = InWindow(id);
        RECT rect = {Scale(at.x, dpi_), Scale(at.y, dpi_), Scale(at.x + at.width, dpi_),
                     Scale(at.y + at.height, dpi_)};
        DrawEdge(dc, &rect, c.frame == editor::Frame::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
}

}  // namespace zentab::win32
