#include "window_description.h"

#include <string>

namespace zentab::editor {

namespace {

constexpr int kClientWidth = 1268;
constexpr int kClientHeight = 663;
constexpr int kGroupWidth = 420;
constexpr int kUpperBandHeight = 303;
constexpr int kLowerBandHeight = 305;
constexpr int kCommandPanelHeight = 51;
constexpr int kRowTop[10] = {39, 64, 90, 116, 142, 167, 193, 219, 245, 271};

struct FormatGroup {
    const char* name;  // the group box names do not follow Format order
    const char* caption;
    bool headCaption;  // the "Hd" column caption; Alt 4 has none
};
constexpr FormatGroup kGroups[6] = {
    {"GroupBox1", "Main format", true},  {"GroupBox2", "Alt 1 format", true}, {"GroupBox6", "Alt 2 format", true},
    {"GroupBox5", "Alt 3 format", true}, {"GroupBox4", "Alt 4 format", false}, {"GroupBox3", "Alt 5 format", true},
};

std::string SizeLabelName(int format, int row)
{
    switch (format) {
    case 1:
        return "la" + std::to_string(10 + row);
    case 4:
        return "la" + std::to_string(20 + row);
    default: {
        const int digit = format == 2 ? 1 : format == 3 ? 2 : format == 5 ? 3 : 4;
        return "la" + std::to_string(20 + row) + std::to_string(digit);
    }
    }
}

struct Grid {
    ControlId model[6][10];
    ControlId lba[6][10];
    ControlId size[6][10];
};

class Builder {
public:
    ControlId add(ControlDescription control)
    {
        window.controls.push_back(std::move(control));
        return ControlId(window.controls.size() - 1);
    }
    ControlDescription& at(ControlId id) { return window.controls[std::size_t(id)]; }

    ControlId caption(ControlId parent, const std::string& text, int x, int y, ControlId buddy = kNoControl)
    {
        ControlDescription c;
        c.kind = ControlKind::Caption;
        c.parent = parent;
        c.rect = {x, y, 0, 0};
        c.caption = text;
        c.buddy = buddy;
        return add(c);
    }

    ControlId control(ControlKind kind, const char* name, ControlId parent, Rect rect, const std::string& caption = {})
    {
        ControlDescription c;
        c.kind = kind;
        c.name = name;
        c.parent = parent;
        c.rect = rect;
        c.caption = caption;
        return add(c);
    }

    void formatGroup(ControlId band, int format, int bandHeight)
    {
        const FormatGroup& group = kGroups[format - 1];
        const ControlId box = control(ControlKind::GroupBox, group.name, band,
                                      {(format - 1) % 3 * kGroupWidth, 0, kGroupWidth, bandHeight}, group.caption);
        // Captions first, their buddies set once the fields exist.
        const ControlId hd = group.headCaption ? caption(box, "Hd", 4, 20) : kNoControl;
        const ControlId model = caption(box, "Модель", 32, 20);
        // Cyrillic Em, a and ha: the caption is Russian, not the Latin look-alike.
        const ControlId lba = caption(box, "\u041C\u0430\u0445 LBA", 247, 20);
        const std::string rowPrefix = std::string(group.caption) + ", row ";
        for (int r = 1; r <= 10; ++r) {
            const int top = kRowTop[r - 1];
            const ControlId number = caption(box, std::to_string(r), r < 10 ? 10 : 4, top + 3);
            const std::string cell = rowPrefix + std::to_string(r) + ", ";

            ControlDescription name;
            name.kind = ControlKind::NameEdit;
            name.name = "Mdl" + std::to_string(format) + std::to_string(r);
            name.parent = box;
            name.rect = {24, top, 210, 24};
            name.enabled = false;
            name.typingLimit = kModelTypingLimit;
            name.accessibleName = cell + "model name";
            name.accessibleDescription =
                "Model name of this row, up to " + std::to_string(kModelTypingLimit) + " characters of 8-bit text";
            name.format = format;
            name.row = r;
            grid.model[format - 1][r - 1] = add(name);
            at(number).buddy = grid.model[format - 1][r - 1];

            ControlDescription value;
            value.kind = ControlKind::LbaEdit;
            value.name = "LBA" + std::to_string(format) + std::to_string(r);
            value.parent = box;
            value.rect = {238, top, 125, 24};
            value.enabled = false;
            value.accessibleName = cell + "maximum LBA";
            value.accessibleDescription =
                "Maximum LBA of this row; a capacity such as 2000G or 2T becomes its LBA at Enter or Alt+Down";
            value.format = format;
            value.row = r;
            grid.lba[format - 1][r - 1] = add(value);

            ControlDescription size;
            size.kind = ControlKind::SizeLabel;
            size.name = SizeLabelName(format, r);
            size.parent = box;
            // Up to the group's frame: a size text may need all of it.
            size.rect = {368, top + 2, kGroupWidth - 368 - 2, 20};
            size.font = FontRole::SizeText;
            size.accessibleName = cell + "size";
            // Replaced by the size itself whenever the value changes.
            size.accessibleDescription = "No value";
            size.format = format;
            size.row = r;
            grid.size[format - 1][r - 1] = add(size);
        }
        if (hd != kNoControl)
            at(hd).buddy = grid.model[format - 1][0];
        at(model).buddy = grid.model[format - 1][0];
        at(lba).buddy = grid.lba[format - 1][0];
    }

    // A number edit of the command panel with its right-aligned caption.
    ControlId numberField(ControlId panel, const char* captionText, Rect captionRect, const char* name, Rect rect,
                          const char* text, const char* spoken, const char* description)
    {
        const ControlId label = caption(panel, captionText, captionRect.x, captionRect.y);
        at(label).rect = captionRect;
        at(label).align = TextAlign::Right;
        const ControlId field = control(ControlKind::Edit, name, panel, rect, text);
        at(field).accessibleName = spoken;
        at(field).accessibleDescription = description;
        at(label).buddy = field;
        return field;
    }

    void commandPanel(ControlId panel)
    {
        ControlDescription bevel;
        bevel.kind = ControlKind::Panel;
        bevel.parent = panel;
        bevel.rect = {1, 1, kClientWidth - 4 - 2, kCommandPanelHeight - 2};
        bevel.frame = Frame::Raised;
        add(bevel);

        named.edModel = control(ControlKind::NameEdit, "edModel", panel, {21, 11, 252, 24}, "WDC WD20EARS-00MVWB0");
        at(named.edModel).typingLimit = kModelTypingLimit;
        at(named.edModel).accessibleName = "Model name template";
        at(named.edModel).accessibleDescription = "Name from which Auto and From Head make the model names";

        named.edDivider = numberField(panel, "Divider", {284, 11, 56, 24}, "edDivider", {344, 11, 33, 24}, "15",
                                      "Divider", "Divider Auto uses from one list to the next");
        named.edAligned = numberField(panel, "Aligment", {378, 11, 58, 24}, "edAligned", {440, 11, 33, 24}, "50",
                                      "Alignment", "Alignment of the computed capacities");

        named.btAuto = control(ControlKind::Button, "btAuto", panel, {487, 10, 135, 31}, "Auto");
        at(named.btAuto).enabled = false;
        at(named.btAuto).accessibleDescription =
            "Fill all lists from the size of head 0 (Esc); its context menu fills the Main list from one row";

        named.pmFromHeads = control(ControlKind::PopupMenu, "pmFromHeads", kNoControl, {});
        for (int n = 1; n <= 10; ++n) {
            const std::string name = "miFromHead" + std::to_string(n);
            named.miFromHead[n - 1] =
                control(ControlKind::MenuItem, name.c_str(), named.pmFromHeads, {}, "From Head " + std::to_string(n));
            at(named.miFromHead[n - 1]).row = n;
        }

        named.cbStdCapacity =
            control(ControlKind::ComboBox, "cbStdCapacity", panel, {652, 11, 141, 24}, "Copy Std Capacity");
        at(named.cbStdCapacity).hint = "Copy STD Capacity to Clipboard";
        at(named.cbStdCapacity).accessibleName = "Copy Std Capacity";
        at(named.cbStdCapacity).accessibleDescription = "Copy STD Capacity to Clipboard";
        at(named.cbStdCapacity).editAccessibleName = "Standard capacity";
        at(named.cbStdCapacity).editAccessibleDescription =
            "Type or pick a standard capacity; its value goes to the clipboard";

        named.laFormat = control(ControlKind::TextLabel, "laFormat", panel, {811, 15, 120, 18});
        at(named.laFormat).accessibleName = "List layout";
        at(named.laFormat).accessibleDescription = "STD or NEW, as the last Load found it";

        named.btLoad = control(ControlKind::Button, "btLoad", panel, {973, 10, 134, 31}, "Load");
        at(named.btLoad).shortcut = "Ctrl+O";
        at(named.btLoad).accessibleDescription = "Open a module file (Ctrl+O)";
        named.btSave = control(ControlKind::Button, "btSave", panel, {1116, 10, 134, 31}, "Save");
        at(named.btSave).shortcut = "Ctrl+S";
        at(named.btSave).enabled = false;
        at(named.btSave).accessibleDescription = "Write the module to a file (Ctrl+S)";
    }

    void tabOrder()
    {
        int next = 1;
        for (ControlId id : {named.btSave, named.btLoad, named.btAuto, named.edModel, named.edDivider, named.edAligned,
                             named.cbStdCapacity})
            at(id).tabOrder = next++;
        // Format order runs through the upper band, then the lower one.
        for (int f = 0; f < 6; ++f) {
            for (int r = 0; r < 10; ++r) {
                at(grid.model[f][r]).tabOrder = next++;
                at(grid.lba[f][r]).tabOrder = next++;
            }
        }
    }

    WindowDescription window;
    NamedControls named{};
    Grid grid{};
};

struct Built {
    WindowDescription window;
    NamedControls named;
    Grid grid;
};

const Built& Table()
{
    static const Built built = [] {
        Builder b;
        b.window.title = "Редактор списка моделей";
        b.window.clientWidth = kClientWidth;
        b.window.clientHeight = kClientHeight;
        b.window.fontFamilies = {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans"};
        b.window.windowFontPixels = 14;
        b.window.sizeFontPixels = 17;

        const ControlId panel1 = b.control(ControlKind::Panel, "Panel1", kNoControl, {0, 0, kClientWidth, kClientHeight});
        const int inner = kClientWidth - 4;
        const ControlId panel3 = b.control(ControlKind::Panel, "Panel3", panel1, {2, 2, inner, kUpperBandHeight});
        const ControlId panel5 =
            b.control(ControlKind::Panel, "Panel5", panel1, {2, 2 + kUpperBandHeight, inner, kLowerBandHeight});
        const ControlId panel2 = b.control(ControlKind::Panel, "Panel2", panel1,
                                           {2, 2 + kUpperBandHeight + kLowerBandHeight, inner, kCommandPanelHeight});
        b.at(panel2).frame = Frame::Sunken;
        for (int f = 1; f <= 6; ++f)
            b.formatGroup(f <= 3 ? panel3 : panel5, f, f <= 3 ? kUpperBandHeight : kLowerBandHeight);
        b.commandPanel(panel2);
        b.tabOrder();
        return Built{std::move(b.window), b.named, b.grid};
    }();
    return built;
}

bool InGrid(int format, int row) { return format >= 1 && format <= 6 && row >= 1 && row <= 10; }

}  // namespace

const WindowDescription& EditorWindow() { return Table().window; }

ControlId FindControl(std::string_view name)
{
    const auto& controls = WindowControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!name.empty() && controls[i].name == name)
            return ControlId(i);
    }
    return kNoControl;
}

ControlId ModelField(int format, int row) { return InGrid(format, row) ? Table().grid.model[format - 1][row - 1] : kNoControl; }
ControlId LbaField(int format, int row) { return InGrid(format, row) ? Table().grid.lba[format - 1][row - 1] : kNoControl; }
ControlId SizeLabel(int format, int row) { return InGrid(format, row) ? Table().grid.size[format - 1][row - 1] : kNoControl; }

const NamedControls& Controls() { return Table().named; }

}  // namespace zentab::editor
