#pragma once
// The editor's window as data: every control with its name, kind, place,
// caption, tab order and what a screen reader says for it. Each front-end
// builds its widgets from this one table, so no two windows can drift apart;
// the session addresses controls by their index in it.

#include <string>
#include <string_view>
#include <vector>

namespace zentab::editor {

// Index of a control in WindowControls().
using ControlId = int;
constexpr ControlId kNoControl = -1;

enum class ControlKind {
    Panel,      // a plain frame holding other controls
    GroupBox,   // a framed group with a caption
    Caption,    // a static label; sized to its text when width is 0
    SizeLabel,  // the size text beside an LBA field
    TextLabel,  // a label the program writes (laFormat)
    Edit,       // single-line edit for numbers (divider, alignment)
    NameEdit,   // single-line edit for an 8-bit model name, typing limited
    LbaEdit,    // edit with a small "…" button at its right end
    Button,
    ComboBox,   // editable, with a list
    PopupMenu,
    MenuItem,
};

enum class FontRole { Window, SizeText };
enum class TextAlign { Left, Right };
enum class Frame { None, Sunken, Raised };

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlDescription {
    std::string name;  // the control's object name; empty for plain captions
    ControlKind kind = ControlKind::Caption;
    ControlId parent = kNoControl;  // kNoControl: the window itself
    Rect rect;                      // in the parent's client coordinates
    std::string caption;            // UTF-8; an edit's initial text
    std::string hint;               // tool tip
    int tabOrder = 0;               // 1, 2, ... in tab order; 0: not a tab stop
    std::string accessibleName;
    std::string accessibleDescription;
    // A combo box's edit part, which a screen reader reaches on its own.
    std::string editAccessibleName;
    std::string editAccessibleDescription;
    ControlId buddy = kNoControl;   // the field a caption names
    bool enabled = true;
    FontRole font = FontRole::Window;
    TextAlign align = TextAlign::Left;
    Frame frame = Frame::None;
    int typingLimit = 0;             // NameEdit
    std::string shortcut;            // "Ctrl+O"; the caption stays as it is
    int format = 0;                  // grid controls: Format 1..6 and row 1..10
    int row = 0;
};

struct WindowDescription {
    std::string name = "fmZentabEditor";
    std::string title;  // UTF-8
    int clientWidth = 0;
    int clientHeight = 0;
    // Font families in order of preference, and pixel heights at 96 dpi.
    std::vector<std::string> fontFamilies;
    int windowFontPixels = 0;
    int sizeFontPixels = 0;
    bool sizeFontBold = true;
    // The small button at the right end of every LBA field.
    std::string lbaButtonCaption = "\u2026";
    std::vector<ControlDescription> controls;
};

const WindowDescription& EditorWindow();
inline const std::vector<ControlDescription>& WindowControls() { return EditorWindow().controls; }

// kNoControl when there is no control of that name.
ControlId FindControl(std::string_view name);

// The field grid and its labels, Format 1..6, row 1..10.
ControlId ModelField(int format, int row);
ControlId LbaField(int format, int row);
ControlId SizeLabel(int format, int row);

// The named controls the session talks to.
struct NamedControls {
    ControlId edModel, edDivider, edAligned, btAuto, cbStdCapacity, laFormat, btLoad, btSave, pmFromHeads;
    ControlId miFromHead[10];
};
const NamedControls& Controls();

constexpr int kModelTypingLimit = 24;

}  // namespace zentab::editor
