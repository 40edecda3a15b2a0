// Builds the window's controls: fixed pixel positions, designed for 120 dpi.

#include "editor_icon.h"
#include "lba_edit.h"
#include "name_edit.h"
#include "tfm_zentab_editor.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int kClientWidth = 1268;
constexpr int kClientHeight = 663;
constexpr int kGroupWidth = 420;
constexpr int kRowTop[zentab::kShownRows] = {39, 64, 90, 116, 142, 167, 193, 219, 245, 271};

QFont WindowFont(int pixelHeight, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QString SizeLabelName(int format, int row)
{
    switch (format) {
    case 1:
        return QStringLiteral("la%1").arg(10 + row);
    case 4:
        return QStringLiteral("la%1").arg(20 + row);
    default: {
        const int digit = format == 2 ? 1 : format == 3 ? 2 : format == 5 ? 3 : 4;
        return QStringLiteral("la%1%2").arg(20 + row).arg(digit);
    }
    }
}

// Names a control after its role in the window and puts it in place.
template <typename Widget>
Widget* Placed(Widget* widget, const char* name, int x, int y, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QPushButton* MakeButton(QWidget* parent, const char* caption, const char* name, int x, int width)
{
    return Placed(new QPushButton(QString::fromLatin1(caption), parent), name, x, 10, width, 31);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
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

QString EditorTitle() { return QStringLiteral("Редактор списка моделей"); }

void TfmZentabEditor::buildLayout()
{
    setObjectName(QStringLiteral("fmZentabEditor"));
    setWindowTitle(EditorTitle());
    setWindowIcon(EditorIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(WindowFont(14));
    // A module file dropped anywhere on the window is loaded.
    setAcceptDrops(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, kClientWidth, kClientHeight);

    const int innerWidth = kClientWidth - 4;
    Panel3 = new QFrame(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(2, 2, innerWidth, 303);
    Panel5 = new QFrame(Panel1);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setGeometry(2, 2 + 303, innerWidth, 305);
    Panel2 = new QFrame(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(2, 2 + 303 + 305, innerWidth, 51);

    // Format groups: the group box names do not follow Format order.
    groupBoxes[0] = buildFormatGroup(Panel3, 1, 0, "GroupBox1", "Main format", true);
    groupBoxes[1] = buildFormatGroup(Panel3, 2, kGroupWidth, "GroupBox2", "Alt 1 format", true);
    groupBoxes[2] = buildFormatGroup(Panel3, 3, 2 * kGroupWidth, "GroupBox6", "Alt 2 format", true);
    groupBoxes[3] = buildFormatGroup(Panel5, 4, 0, "GroupBox5", "Alt 3 format", true);
    groupBoxes[4] = buildFormatGroup(Panel5, 5, kGroupWidth, "GroupBox4", "Alt 4 format", false);
    groupBoxes[5] = buildFormatGroup(Panel5, 6, 2 * kGroupWidth, "GroupBox3", "Alt 5 format", true);

    buildCommandPanel();

    // The file dialogs are made at their first use (openDialog, saveDialog).
    buildTabOrder();
    describeControls();
}

QGroupBox* TfmZentabEditor::buildFormatGroup(QWidget* band, int format, int x, const char* name,
                                             const char* caption, bool headCaption)
{
    auto* group = new QGroupBox(QString::fromLatin1(caption), band);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(x, 0, kGroupWidth, band->height());

    QLabel* headCaptionLabel = headCaption ? MakeLabel(group, QStringLiteral("Hd"), 4, 20) : nullptr;
    QLabel* modelCaption = MakeLabel(group, QStringLiteral("Модель"), 32, 20);
    // Cyrillic Em, a and ha: the caption is Russian, not the Latin look-alike.
    QLabel* lbaCaption = MakeLabel(group, QStringLiteral("\u041C\u0430\u0445 LBA"), 247, 20);

    const QFont sizeFont = WindowFont(17, true);
    for (int r = 1; r <= zentab::kShownRows; ++r) {
        const int top = kRowTop[r - 1];
        QLabel* rowNumber = MakeLabel(group, QString::number(r), r < 10 ? 10 : 4, top + 3);

        auto* model = new NameEdit(kModelTypingLimit, group);
        model->setObjectName(QStringLiteral("Mdl%1%2").arg(format).arg(r));
        model->setGeometry(24, top, 210, 24);
        Mdl[format - 1][r - 1] = model;
        rowNumber->setBuddy(model);

        auto* lba = new LbaEdit(group);
        lba->setObjectName(QStringLiteral("LBA%1%2").arg(format).arg(r));
        lba->setGeometry(238, top, 125, 24);
        LBA[format - 1][r - 1] = lba;

        auto* size = new QLabel(group);
        size->setObjectName(SizeLabelName(format, r));
        size->setFont(sizeFont);
        size->setGeometry(368, top + 2, kGroupWidth - 368 - 4, 20);
        QPalette palette = size->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Active, QPalette::WindowText));
        size->setPalette(palette);
        sizeLabels[format - 1][r - 1] = size;

        setFieldState(model, false);
        setFieldState(lba, false);
    }
    if (headCaptionLabel)
        headCaptionLabel->setBuddy(Mdl[format - 1][0]);
    modelCaption->setBuddy(Mdl[format - 1][0]);
    lbaCaption->setBuddy(LBA[format - 1][0]);
    return group;
}

void TfmZentabEditor::buildCommandPanel()
{
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* bevel = new QFrame(Panel2);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setGeometry(1, 1, Panel2->width() - 2, Panel2->height() - 2);

    edModel = Placed(new NameEdit(kModelTypingLimit, Panel2), "edModel", 21, 11, 252, 24);
    edModel->setText(QStringLiteral("WDC WD20EARS-00MVWB0"));

    auto* dividerCaption = new QLabel(QStringLiteral("Divider"), Panel2);
    dividerCaption->setGeometry(284, 11, 56, 24);
    dividerCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edDivider = Placed(new QLineEdit(QStringLiteral("15"), Panel2), "edDivider", 344, 11, 33, 24);
    dividerCaption->setBuddy(edDivider);
    // Dropped text would land among the digits; a drop loads a file instead.
    edDivider->setAcceptDrops(false);

    auto* alignedCaption = new QLabel(QStringLiteral("Aligment"), Panel2);
    alignedCaption->setGeometry(378, 11, 58, 24);
    alignedCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edAligned = Placed(new QLineEdit(QStringLiteral("50"), Panel2), "edAligned", 440, 11, 33, 24);
    alignedCaption->setBuddy(edAligned);
    edAligned->setAcceptDrops(false);

    btAuto = MakeButton(Panel2, "Auto", "btAuto", 487, 135);
    btAuto->setEnabled(false);
    btAuto->setContextMenuPolicy(Qt::CustomContextMenu);

    pmFromHeads = new QMenu(this);
    pmFromHeads->setObjectName(QStringLiteral("pmFromHeads"));
    for (int n = 1; n <= zentab::kShownRows; ++n) {
        QAction* item = pmFromHeads->addAction(QStringLiteral("From Head %1").arg(n));
        item->setObjectName(QStringLiteral("miFromHead%1").arg(n));
        miFromHead[n - 1] = item;
    }

    cbStdCapacity = new QComboBox(Panel2);
    cbStdCapacity->setObjectName(QStringLiteral("cbStdCapacity"));
    cbStdCapacity->setEditable(true);
    cbStdCapacity->setInsertPolicy(QComboBox::NoInsert);
    // Completion would turn a typed "2" into the first key starting with it
    // and copy a value the user never chose.
    cbStdCapacity->setCompleter(nullptr);
    cbStdCapacity->setGeometry(652, 11, 141, 24);
    cbStdCapacity->setEditText(QStringLiteral("Copy Std Capacity"));
    cbStdCapacity->lineEdit()->setCursorPosition(0);
    cbStdCapacity->setToolTip(QStringLiteral("Copy STD Capacity to Clipboard"));
    cbStdCapacity->setAcceptDrops(false);
    cbStdCapacity->lineEdit()->setAcceptDrops(false);

    laFormat = Placed(new QLabel(Panel2), "laFormat", 811, 15, 120, 18);
    btLoad = MakeButton(Panel2, "Load", "btLoad", 973, 134);
    btSave = MakeButton(Panel2, "Save", "btSave", 1116, 134);
    // The usual keys, without a mnemonic that would change the captions.
    btLoad->setShortcut(QKeySequence::Open);
    btSave->setShortcut(QKeySequence::Save);
    btSave->setEnabled(false);
}

void TfmZentabEditor::buildTabOrder()
{
    QList<QWidget*> order = {btSave, btLoad, btAuto, edModel, edDivider, edAligned, cbStdCapacity};
    // Format order runs through the upper band, then the lower one.
    for (int f = 1; f <= zentab::kFormats; ++f) {
        for (int r = 1; r <= zentab::kShownRows; ++r) {
            order.append(modelField(f, r));
            order.append(lbaField(f, r));
        }
    }
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}
