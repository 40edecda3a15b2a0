// The window as it first shows, and the keyboard behaviour of its controls:
// typing limits, Esc as Auto, Alt+Down as a field's button, tab order.

#include "editor_harness.h"
#include "window_test_registry.h"

#include "message_boxes.h"
#include "text_fit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using zentab::testkit::ModuleBuilder;

namespace {

void LoadRows(EditorHarness& h, int rows)
{
    h.load(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder().rows(rows))));
}

// Shortcuts of the window only fire while it is the active window.
bool Activate(QWidget& window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The named control a focused widget belongs to (the combo box's editor counts as the combo box).
QString FocusName(QWidget* focus)
{
    for (QWidget* w = focus; w; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return w->objectName();
    }
    return QStringLiteral("<none>");
}

// Records the title of every message box as it shows.
class BoxTitleSpy : public QObject {
public:
    BoxTitleSpy() { qApp->installEventFilter(this); }
    ~BoxTitleSpy() override { qApp->removeEventFilter(this); }
    QStringList titles;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* box = qobject_cast<QMessageBox*>(watched); box && event->type() == QEvent::Show)
            titles << box->windowTitle();
        return false;
    }
};

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    // Every text whole: the widest text each control can show, in its own
    // font drawn at each scale, against the room the control gives it.
    void everyTextFitsAtEveryScale()
    {
        EditorHarness h;
        const std::string separator = QLocale().decimalPoint().toStdString();
        for (const double scale : {1.0, 1.25, 1.5, 2.0}) {
            for (const auto role : {zentab::editor::FontRole::Window, zentab::editor::FontRole::SizeText}) {
                for (const zentab::editor::TextToFit& fit : zentab::editor::TextsToFit(role, separator)) {
                    QWidget* widget = h.window().widget(fit.control);
                    QVERIFY(widget);
                    int room = widget->contentsRect().width();
                    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                        const QMargins margins = combo->lineEdit()->textMargins();
                        room = combo->lineEdit()->contentsRect().width() - margins.left() - margins.right() - 4;
                    } else if (qobject_cast<QPushButton*>(widget) || qobject_cast<QGroupBox*>(widget)) {
                        room = fit.room;  // a frame and margins around the text, as the description gives them
                    } else if (widget->objectName().isEmpty() || fit.room < room) {
                        room = fit.room;  // a caption sized to its text: up to its neighbour
                    }
                    QFont font = widget->font();
                    font.setPixelSize(qRound(font.pixelSize() * scale));
                    const QFontMetricsF metrics(font);
                    for (const std::string& text : fit.texts) {
                        const double width = metrics.horizontalAdvance(QString::fromStdString(text));
                        QVERIFY2(width <= room * scale,
                                 qPrintable(QStringLiteral("%1 \"%2\" at %3: %4 > %5")
                                                .arg(QString::fromStdString(
                                                    zentab::editor::WindowControls()[std::size_t(fit.control)].name))
                                                .arg(QString::fromStdString(text))
                                                .arg(scale)
                                                .arg(width)
                                                .arg(room * scale)));
                    }
                }
            }
        }
    }

    void windowIsFixedSizeWithoutMinimiseOrMaximise()
    {
        EditorHarness h;
        TfmZentabEditor& w = h.window();
        QCOMPARE(w.windowTitle(), QStringLiteral("Редактор списка моделей"));
        QCOMPARE(w.size(), QSize(1268, 663));
        QCOMPARE(w.minimumSize(), QSize(1268, 663));
        QCOMPARE(w.maximumSize(), QSize(1268, 663));
        QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
        w.resize(1400, 800);
        QCOMPARE(w.size(), QSize(1268, 663));
    }

    void commandPanelAtStart()
    {
        EditorHarness h;
        auto* load = h.find<QPushButton>(QStringLiteral("btLoad"));
        QVERIFY(load && load->isEnabled());
        QCOMPARE(h.window().focusWidget(), load);
        QVERIFY(!h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled());
        QVERIFY(!h.find<QPushButton>(QStringLiteral("btAuto"))->isEnabled());
        QCOMPARE(h.labelText(QStringLiteral("laFormat")), QString());
        QCOMPARE(h.text(QStringLiteral("edModel")), QStringLiteral("WDC WD20EARS-00MVWB0"));
        QCOMPARE(h.text(QStringLiteral("edDivider")), QStringLiteral("15"));
        QCOMPARE(h.text(QStringLiteral("edAligned")), QStringLiteral("50"));
        auto* capacity = h.find<QComboBox>(QStringLiteral("cbStdCapacity"));
        QVERIFY(capacity);
        QCOMPARE(capacity->currentText(), QStringLiteral("Copy Std Capacity"));
        QCOMPARE(capacity->toolTip(), QStringLiteral("Copy STD Capacity to Clipboard"));
    }

    void gridIsEmptyAndLockedAtStart()
    {
        EditorHarness h;
        const QColor buttonFace = QGuiApplication::palette().color(QPalette::Button);
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= 10; ++r) {
                for (const char* kind : {"Mdl", "LBA"}) {
                    QLineEdit* field = h.field(Field(kind, f, r));
                    QVERIFY2(field && field->text().isEmpty() && !field->isEnabled(), qPrintable(Field(kind, f, r)));
                    QCOMPARE(field->palette().color(QPalette::Base), buttonFace);
                }
                // Each size label sits in its field's group, on the same row, to its right.
                auto* label = h.find<QLabel>(SizeLabelName(f, r));
                QLineEdit* lba = h.field(Field("LBA", f, r));
                QVERIFY2(label && label->text().isEmpty(), qPrintable(SizeLabelName(f, r)));
                QCOMPARE(label->parentWidget(), lba->parentWidget());
                QVERIFY(label->x() >= lba->geometry().right());
                QVERIFY(qAbs(label->y() - lba->y()) <= 4);
            }
        }
    }

    void formatGroups()
    {
        EditorHarness h;
        QVERIFY(h.find<QWidget>(QStringLiteral("Panel3"))->y() < h.find<QWidget>(QStringLiteral("Panel5"))->y());
        const struct {
            const char *group, *caption, *band;
            int column;  // place in the band, from the left
            bool headCaption;
        } groups[] = {
            {"GroupBox1", "Main format", "Panel3", 0, true},  {"GroupBox2", "Alt 1 format", "Panel3", 1, true},
            {"GroupBox6", "Alt 2 format", "Panel3", 2, true}, {"GroupBox5", "Alt 3 format", "Panel5", 0, true},
            {"GroupBox4", "Alt 4 format", "Panel5", 1, false}, {"GroupBox3", "Alt 5 format", "Panel5", 2, true},
        };
        for (int format = 1; format <= 6; ++format) {
            const auto& g = groups[format - 1];
            auto* box = h.find<QGroupBox>(QString::fromLatin1(g.group));
            QVERIFY2(box, g.group);
            QCOMPARE(box->title(), QString::fromLatin1(g.caption));
            QCOMPARE(box->parentWidget()->objectName(), QString::fromLatin1(g.band));
            int left = 0;
            for (QGroupBox* other : box->parentWidget()->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
                left += other->x() < box->x() ? 1 : 0;
            QCOMPARE(left, g.column);
            for (int r = 1; r <= 10; ++r) {
                QCOMPARE(h.field(Field("Mdl", format, r))->parentWidget(), box);
                QCOMPARE(h.field(Field("LBA", format, r))->parentWidget(), box);
            }
            QStringList captions;
            for (QLabel* label : box->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
                captions << label->text();
            QCOMPARE(captions.contains(QStringLiteral("Hd")), g.headCaption);
            QVERIFY(captions.contains(QStringLiteral("Модель")));
            // Cyrillic Em, a, ha, not their Latin look-alikes.
            QVERIFY(captions.contains(QString::fromUtf16(u"\u041C\u0430\u0445 LBA")));
            QVERIFY(!captions.contains(QStringLiteral("Max LBA")));
        }
    }

    // Picking an item after Load is covered with the capacity handlers.
    void fromHeadMenu()
    {
        EditorHarness h;
        QMenu* menu = h.window().pmFromHeads;
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("pmFromHeads"));
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 10);
        for (int n = 1; n <= 10; ++n) {
            QCOMPARE(items[n - 1]->objectName(), QStringLiteral("miFromHead%1").arg(n));
            QCOMPARE(items[n - 1]->text(), QStringLiteral("From Head %1").arg(n));
        }
        // A right click on the disabled button opens nothing.
        auto* autoButton = h.find<QPushButton>(QStringLiteral("btAuto"));
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), autoButton->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(autoButton, &click);
        QTest::qWait(20);
        QVERIFY(!menu->isVisible());
    }

    void fileDialogsListEveryFile()
    {
        EditorHarness h;
        // Made at their first use: a file dialog lists its folder when made.
        QVERIFY(!h.window().findChild<QFileDialog*>());
        const std::pair<const char*, QFileDialog::AcceptMode> dialogs[] = {{"OpenDialog1", QFileDialog::AcceptOpen},
                                                                            {"SaveDialog1", QFileDialog::AcceptSave}};
        h.window().openDialog();
        h.window().saveDialog();
        for (const auto& [name, mode] : dialogs) {
            auto* dialog = h.window().findChild<QFileDialog*>(QString::fromLatin1(name));
            QVERIFY2(dialog, name);
            QCOMPARE(dialog->acceptMode(), mode);
            // Qt shows "no filter" as the one filter "All Files (*)".
            for (const QString& filter : dialog->nameFilters())
                QVERIFY2(filter.endsWith(QLatin1String("(*)")), qPrintable(filter));
            QVERIFY(dialog->filter() & QDir::Files);
        }
    }

    void keyboardOrder()
    {
        EditorHarness h;
        // At start the disabled buttons and fields are passed over.
        h.find<QWidget>(QStringLiteral("btLoad"))->setFocus();
        QTest::keyClick(h.window().focusWidget(), Qt::Key_Tab);
        QCOMPARE(FocusName(h.window().focusWidget()), QStringLiteral("edModel"));

        LoadRows(h, 10);
        h.find<QWidget>(QStringLiteral("btSave"))->setFocus();
        QStringList visited{FocusName(h.window().focusWidget())};
        for (int i = 0; i < 6 + 120; ++i) {
            QTest::keyClick(h.window().focusWidget(), Qt::Key_Tab);
            visited << FocusName(h.window().focusWidget());
        }
        QCOMPARE(visited.mid(0, 7), (QStringList{"btSave", "btLoad", "btAuto", "edModel", "edDivider", "edAligned",
                                                 "cbStdCapacity"}));
        // Then the 120 fields, each once: the Main group first, the upper band before the lower.
        const QStringList fields = visited.mid(7);
        QCOMPARE(QSet<QString>(fields.begin(), fields.end()).size(), 120);
        for (int i = 0; i < 120; ++i) {
            const QString& name = fields[i];
            QVERIFY2(name.startsWith(QLatin1String("Mdl")) || name.startsWith(QLatin1String("LBA")), qPrintable(name));
            const int format = name.at(3).digitValue();
            QVERIFY2(i < 20 ? format == 1 : i < 60 ? format <= 3 : format >= 4, qPrintable(name));
        }
    }

    void modelNameTypingStopsAt24()
    {
        EditorHarness h;
        LoadRows(h, 10);
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
        for (const QString name : {"edModel", "Mdl11", "Mdl610"}) {
            QLineEdit* field = h.field(name);
            field->clear();
            h.type(name, alphabet.left(25));
            QCOMPARE(field->text(), alphabet.left(24));

            // A longer name set by the program stays whole; typing adds nothing, deleting works.
            field->setText(alphabet.left(30));
            QTest::keyClick(field, Qt::Key_End);
            QTest::keyClicks(field, QStringLiteral("Z"));
            QCOMPARE(field->text(), alphabet.left(30));
            QTest::keyClick(field, Qt::Key_Backspace);
            QCOMPARE(field->text(), alphabet.left(29));

            // Typing over a selection replaces it.
            field->selectAll();
            QTest::keyClicks(field, QStringLiteral("X"));
            QCOMPARE(field->text(), QStringLiteral("X"));

            // Pasting stops at the limit too.
            QGuiApplication::clipboard()->setText(alphabet.left(30));
            field->setText(QStringLiteral("AB"));
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(field->text(), QStringLiteral("AB") + alphabet.left(22));
        }
    }

    void lbaFieldTakesAnyLength()
    {
        EditorHarness h;
        LoadRows(h, 4);
        h.field(QStringLiteral("LBA23"))->clear();
        const QString digits = QStringLiteral("1234567890").repeated(4);
        h.type(QStringLiteral("LBA23"), digits);
        QCOMPARE(h.text(QStringLiteral("LBA23")), digits);
    }

    void escapeDoesNothingWhileAutoIsDisabled()
    {
        EditorHarness h;
        QVERIFY(Activate(h.window()));
        QTest::keyClick(h.window().focusWidget(), Qt::Key_Escape);
        QTest::keyClick(h.field(QStringLiteral("edModel")), Qt::Key_Escape);
        QTest::qWait(50);
        QVERIFY(h.takeBoxes().isEmpty());
        QVERIFY(h.window().isVisible());
        QVERIFY(h.unexpected().isEmpty());
    }

    // From an LBA field, a model field and the command panel alike.
    void escapeRunsAutoAfterLoad()
    {
        EditorHarness h;
        LoadRows(h, 4);
        for (const QString focus : {"LBA23", "Mdl47", "edAligned"}) {
            for (const char* head : {"", "488397168"}) {
                h.field(QStringLiteral("LBA11"))->setText(QString::fromLatin1(head));
                h.field(QStringLiteral("LBA12"))->clear();
                QVERIFY(Activate(h.window()));
                h.field(focus)->setFocus();
                QTest::keyClick(h.field(focus), Qt::Key_Escape);
                const bool ran = *head;
                QCOMPARE(h.takeBoxes(), ran ? QStringList() : QStringList{"Enter LBA Size for Head 0"});
                QCOMPARE(h.text(QStringLiteral("LBA12")), ran ? QStringLiteral("976773168") : QString());
            }
        }
        QVERIFY(h.unexpected().isEmpty());
    }

    void altDownPressesTheLbaButtonOnly()
    {
        EditorHarness h;
        LoadRows(h, 4);
        h.field(QStringLiteral("LBA32"))->setText(QStringLiteral("1000000"));
        const QString model = h.text(QStringLiteral("Mdl32"));
        QTest::keyClick(h.field(QStringLiteral("Mdl32")), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(h.text(QStringLiteral("Mdl32")), model);
        QCOMPARE(h.text(QStringLiteral("LBA32")), QStringLiteral("1000000"));
        QTest::keyClick(h.field(QStringLiteral("LBA32")), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(h.text(QStringLiteral("LBA32")), QStringLiteral("999936"));
        QCOMPARE(h.labelText(QStringLiteral("la222")), QStringLiteral("512M"));
    }

    void messageBoxesCarryTheApplicationTitle()
    {
        EditorHarness h;
        BoxTitleSpy spy;
        LoadRows(h, 4);
        h.field(QStringLiteral("LBA11"))->clear();
        h.click("btAuto");
        // An error box as well as a message box.
        h.field(QStringLiteral("LBA11"))->setText(QStringLiteral("488397168"));
        h.field(QStringLiteral("edDivider"))->setText(QStringLiteral("0"));
        h.click("btAuto");
        QCOMPARE(h.takeBoxes(), (QStringList{"Enter LBA Size for Head 0", "Division by zero."}));
        QCOMPARE(spy.titles, (QStringList{ApplicationTitle(), ApplicationTitle()}));
        // The executable's name up to its first ".": the first letter keeps its case, the rest is lowered.
        QCOMPARE(ApplicationTitle(), QStringLiteral("window_tests"));
    }
};

ZENTAB_WINDOW_TEST(StartupTest)
#include "startup_test.moc"
