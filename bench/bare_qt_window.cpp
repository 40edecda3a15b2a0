// The yardstick of the start-up benchmarks: a bare Qt window with the
// editor's widgets, and the wait for a window's first paint.

#include "bare_qt_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

// Counts paint events of the window itself.
class PaintSpy : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

}  // namespace

void ShowUntilPainted(QWidget& window)
{
    PaintSpy spy;
    window.installEventFilter(&spy);
    window.show();
    while (!spy.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    window.removeEventFilter(&spy);
}

namespace {

QFont Face(int pixels, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A grid field as the editor shows it before a Load: disabled, in the
// colour of a locked field.
void Lock(QLineEdit* field)
{
    field->setEnabled(false);
    QPalette palette = field->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, QGuiApplication::palette().color(group, QPalette::Button));
    field->setPalette(palette);
}

// The editor's widgets as they first show (sizes, faces, colours, texts),
// built plainly: six groups of ten rows (name edit, edit with a button, size
// label, captions), the command panel and the From Head menu; none of the
// program's own work (handlers, settings file, names for screen readers).
}  // namespace

std::unique_ptr<QWidget> BareWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(1268, 663);
    window->setFont(Face(14));
    const QFont sizeFace = Face(17, true);
    for (int g = 0; g < 6; ++g) {
        auto* group = new QGroupBox(QStringLiteral("Format"), window.get());
        group->setGeometry(2 + (g % 3) * 420, 2 + (g / 3) * 303, 420, 303);
        (new QLabel(QStringLiteral("Hd"), group))->move(4, 20);
        (new QLabel(QStringLiteral("Модель"), group))->move(32, 20);
        (new QLabel(QStringLiteral("Max LBA"), group))->move(247, 20);
        for (int r = 0; r < 10; ++r) {
            const int top = 39 + r * 26;
            (new QLabel(QString::number(r + 1), group))->move(8, top + 3);
            auto* name = new QLineEdit(group);
            name->setGeometry(24, top, 210, 24);
            Lock(name);
            auto* lba = new QLineEdit(group);
            lba->setGeometry(238, top, 125, 24);
            lba->setTextMargins(0, 0, 26, 0);
            (new QToolButton(lba))->setGeometry(98, 2, 25, 20);
            Lock(lba);
            auto* size = new QLabel(group);
            size->setFont(sizeFace);
            size->setGeometry(368, top + 2, 48, 20);
        }
    }
    auto* panel = new QFrame(window.get());
    panel->setGeometry(2, 610, 1264, 51);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* bevel = new QFrame(panel);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setGeometry(1, 1, 1262, 49);
    (new QLineEdit(QStringLiteral("WDC WD20EARS-00MVWB0"), panel))->setGeometry(21, 11, 252, 24);
    (new QLabel(QStringLiteral("Divider"), panel))->setGeometry(284, 11, 56, 24);
    (new QLineEdit(QStringLiteral("15"), panel))->setGeometry(344, 11, 33, 24);
    (new QLabel(QStringLiteral("Aligment"), panel))->setGeometry(378, 11, 58, 24);
    (new QLineEdit(QStringLiteral("50"), panel))->setGeometry(440, 11, 33, 24);
    auto* autoButton = new QPushButton(QStringLiteral("Auto"), panel);
    autoButton->setGeometry(487, 10, 135, 31);
    autoButton->setEnabled(false);
    auto* combo = new QComboBox(panel);
    combo->setEditable(true);
    combo->setGeometry(652, 11, 141, 24);
    combo->setEditText(QStringLiteral("Copy Std Capacity"));
    (new QLabel(panel))->setGeometry(811, 15, 120, 18);
    (new QPushButton(QStringLiteral("Load"), panel))->setGeometry(973, 10, 134, 31);
    auto* save = new QPushButton(QStringLiteral("Save"), panel);
    save->setGeometry(1116, 10, 134, 31);
    save->setEnabled(false);
    auto* menu = new QMenu(window.get());
    for (int n = 1; n <= 10; ++n)
        menu->addAction(QStringLiteral("From Head %1").arg(n));
    return window;
}

