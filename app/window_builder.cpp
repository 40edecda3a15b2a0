// Builds the window's widgets from the shared window description.

#include "editor_icon.h"
#include "lba_edit.h"
#include "name_edit.h"
#include "qt_editor_view.h"
#include "text_fit.h"
#include "tfm_zentab_editor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>
#include <optional>

using zentab::editor::ControlDescription;
using zentab::editor::ControlId;
using zentab::editor::ControlKind;

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QFont MakeFont(const zentab::editor::FontChoice& choice)
{
    QFont font;
    // The chosen family first; the others stay behind it for characters it lacks.
    QStringList families;
    if (!choice.family.empty())
        families << Text(choice.family);
    for (const std::string& family : zentab::editor::EditorWindow().fontFamilies) {
        if (family != choice.family)
            families << Text(family);
    }
    font.setFamilies(families);
    font.setPixelSize(choice.pixels);
    font.setBold(choice.bold);
    return font;
}

// The role's font: the first family and size that show every text of the
// role whole (Qt lays out in pixels of 96 dpi and scales them itself).
QFont WindowFont(zentab::editor::FontRole role, const std::string& decimalSeparator)
{
    // The family Qt itself picks from the list is asked of the font matcher,
    // which the window needs anyway; the full list of families, which costs
    // a tenth of start-up to build, only when that family does not fit.
    const zentab::editor::WindowDescription& window = zentab::editor::EditorWindow();
    const bool sizes = role == zentab::editor::FontRole::SizeText;
    const QString picked = QFontInfo(MakeFont({std::string(), sizes ? window.sizeFontPixels : window.windowFontPixels,
                                               sizes && window.sizeFontBold}))
                               .family();
    bool beforePicked = true;
    const auto usable = [&](const std::string& family) {
        if (Text(family).compare(picked, Qt::CaseInsensitive) == 0) {
            beforePicked = false;
            return true;
        }
        // The families before the one Qt picked are not there; it took the first that is.
        return !beforePicked && QFontDatabase::hasFamily(Text(family));
    };
    // One set of metrics per candidate font, not one per text.
    zentab::editor::FontChoice measured;
    std::optional<QFontMetricsF> metrics;
    const auto width = [&](const zentab::editor::FontChoice& choice, const std::string& text) {
        if (!metrics || choice.family != measured.family || choice.pixels != measured.pixels ||
            choice.bold != measured.bold) {
            metrics.emplace(MakeFont(choice));
            measured = choice;
        }
        return int(std::ceil(metrics->horizontalAdvance(Text(text))));
    };
    // A combo box's edit field is what the style leaves of it; the line edit
    // in it keeps two pixels on each side of its text.
    const auto room = [](const zentab::editor::TextToFit& fit, int) {
        const ControlDescription& c = zentab::editor::WindowControls()[std::size_t(fit.control)];
        if (c.kind != ControlKind::ComboBox)
            return fit.room;
        QStyleOptionComboBox option;
        option.rect = QRect(0, 0, c.rect.width, c.rect.height);
        option.editable = true;
        option.frame = true;
        return QApplication::style()
                   ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, nullptr)
                   .width() -
               4;
    };
    return MakeFont(zentab::editor::ChooseFont(role, 96, usable, width, decimalSeparator, room));
}

void Place(QWidget* widget, const ControlDescription& c)
{
    widget->setObjectName(Text(c.name));
    widget->setGeometry(c.rect.x, c.rect.y, c.rect.width, c.rect.height);
}

QFrame::Shadow Shadow(zentab::editor::Frame frame)
{
    return frame == zentab::editor::Frame::Raised ? QFrame::Raised : QFrame::Sunken;
}

}  // namespace

QPixmap DrawEditorIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-pixel grid; larger sizes are the same picture scaled.
    painter.scale(size / 32.0, size / 32.0);
    painter.setBrush(QColor(0x30, 0x50, 0x90));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(1, 3, 30, 26, 3, 3);
    painter.setBrush(QColor(0xC0, 0xC8, 0xD8));
    painter.drawEllipse(QPoint(12, 16), 9, 9);
    painter.setBrush(QColor(0x30, 0x50, 0x90));
    painter.drawEllipse(QPoint(12, 16), 2, 2);
    painter.setPen(QPen(Qt::white, 2));
    for (int y = 9; y <= 23; y += 5)
        painter.drawLine(24, y, 29, y);
    painter.end();
    return pixmap;
}

QIcon EditorIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(DrawEditorIcon(size));
    return icon;
}

void TfmZentabEditor::buildControls()
{
    const zentab::editor::WindowDescription& description = zentab::editor::EditorWindow();
    setObjectName(Text(description.name));
    setWindowTitle(Text(description.title));
    setWindowIcon(EditorIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(description.clientWidth, description.clientHeight);
    setFont(WindowFont(zentab::editor::FontRole::Window, view_.decimalSeparator()));
    sizeFont_ = WindowFont(zentab::editor::FontRole::SizeText, view_.decimalSeparator());
    // A module file dropped anywhere on the window is loaded.
    setAcceptDrops(true);

    for (ControlId id = 0; id < ControlId(description.controls.size()); ++id) {
        QWidget* built = buildControl(id);
        QAction* action = nullptr;
        if (!built) {
            const ControlDescription& c = description.controls[std::size_t(id)];
            action = pmFromHeads->addAction(Text(c.caption));
            action->setObjectName(Text(c.name));
        }
        view_.add(built, action);
    }

    // Buddies and tab order once every control exists.
    std::vector<std::pair<int, QWidget*>> order;
    for (ControlId id = 0; id < ControlId(description.controls.size()); ++id) {
        const ControlDescription& c = description.controls[std::size_t(id)];
        if (c.buddy != zentab::editor::kNoControl)
            static_cast<QLabel*>(widget(id))->setBuddy(widget(c.buddy));
        if (c.tabOrder > 0)
            order.emplace_back(c.tabOrder, widget(id));
    }
    std::sort(order.begin(), order.end());
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1].second, order[i].second);

    const zentab::editor::NamedControls& named = zentab::editor::Controls();
    Panel1 = findChild<QWidget*>(QStringLiteral("Panel1"));
    edModel = static_cast<NameEdit*>(widget(named.edModel));
    edDivider = static_cast<QLineEdit*>(widget(named.edDivider));
    edAligned = static_cast<QLineEdit*>(widget(named.edAligned));
    btAuto = static_cast<QPushButton*>(widget(named.btAuto));
    cbStdCapacity = static_cast<QComboBox*>(widget(named.cbStdCapacity));
    laFormat = static_cast<QLabel*>(widget(named.laFormat));
    btLoad = static_cast<QPushButton*>(widget(named.btLoad));
    btSave = static_cast<QPushButton*>(widget(named.btSave));
    for (int n = 0; n < zentab::kShownRows; ++n)
        miFromHead[std::size_t(n)] = view_.action(named.miFromHead[n]);
}

// One widget of the description, or nullptr for a menu item (an action).
QWidget* TfmZentabEditor::buildControl(ControlId id)
{
    const zentab::editor::WindowDescription& description = zentab::editor::EditorWindow();
    const ControlDescription& c = description.controls[std::size_t(id)];
    QWidget* parent = c.parent == zentab::editor::kNoControl ? this : widget(c.parent);
    QWidget* made = nullptr;
    switch (c.kind) {
    case ControlKind::Panel: {
        auto* frame = new QFrame(parent);
        if (c.frame != zentab::editor::Frame::None)
            frame->setFrameStyle(QFrame::Panel | Shadow(c.frame));
        made = frame;
        break;
    }
    case ControlKind::GroupBox:
        made = new QGroupBox(Text(c.caption), parent);
        break;
    case ControlKind::Caption: {
        auto* label = new QLabel(Text(c.caption), parent);
        if (c.rect.width == 0) {
            label->move(c.rect.x, c.rect.y);
            label->adjustSize();
            return label;
        }
        if (c.align == zentab::editor::TextAlign::Right)
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        made = label;
        break;
    }
    case ControlKind::SizeLabel: {
        auto* label = new QLabel(parent);
        label->setFont(sizeFont_);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Active, QPalette::WindowText));
        label->setPalette(palette);
        made = label;
        break;
    }
    case ControlKind::TextLabel:
        made = new QLabel(Text(c.caption), parent);
        break;
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(Text(c.caption), parent);
        // Dropped text would land among the digits; a drop loads a file instead.
        edit->setAcceptDrops(false);
        made = edit;
        break;
    }
    case ControlKind::NameEdit: {
        auto* edit = new NameEdit(c.typingLimit, parent);
        edit->setText(Text(c.caption));
        made = edit;
        break;
    }
    case ControlKind::LbaEdit:
        made = new LbaEdit(parent);
        break;
    case ControlKind::Button: {
        auto* button = new QPushButton(Text(c.caption), parent);
        // The usual keys, without a mnemonic that would change the captions.
        if (!c.shortcut.empty())
            button->setShortcut(QKeySequence::fromString(Text(c.shortcut), QKeySequence::PortableText));
        made = button;
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // Completion would turn a typed "2" into the first key starting with it
        // and copy a value the user never chose.
        combo->setCompleter(nullptr);
        combo->setEditText(Text(c.caption));
        combo->lineEdit()->setCursorPosition(0);
        combo->setAcceptDrops(false);
        combo->lineEdit()->setAcceptDrops(false);
        combo->lineEdit()->setAccessibleName(Text(c.editAccessibleName));
        combo->lineEdit()->setAccessibleDescription(Text(c.editAccessibleDescription));
        made = combo;
        break;
    }
    case ControlKind::PopupMenu:
        pmFromHeads = new QMenu(this);
        pmFromHeads->setObjectName(Text(c.name));
        return pmFromHeads;
    case ControlKind::MenuItem:
        return nullptr;
    }
    Place(made, c);
    if (!c.hint.empty())
        made->setToolTip(Text(c.hint));
    if (!c.accessibleName.empty())
        made->setAccessibleName(Text(c.accessibleName));
    if (!c.accessibleDescription.empty())
        made->setAccessibleDescription(Text(c.accessibleDescription));
    // Only the grid's fields have the inactive look; buttons are just disabled.
    const bool gridField = c.kind == ControlKind::NameEdit || c.kind == ControlKind::LbaEdit;
    if (gridField && c.format != 0)
        SetFieldState(made, c.enabled);
    else if (!c.enabled)
        made->setEnabled(false);
    return made;
}
