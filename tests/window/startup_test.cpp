// The window as it first shows, and the keyboard behaviour of its controls:
// typing limits, Esc as Auto, Alt+Down as a field's button, tab order.

#include "editor_harness.h"
#include "window_test_registry.h"

#include "lba_edit.h"
#include "message_boxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
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
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                titles << box->windowTitle();
        }
        return false;
    }
};

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void windowIsFixedSizeWithoutMinimiseOrMaximise()
    {
        EditorHarness h;
        TfmZentabEditor& w = h.window();
        QCOMPARE(w.windowTitle(), QStringLiteral("Редактор списка моделей"));
        QCOMPARE(w.size(), QSize(1268, 663));
        QCOMPARE(w.minimumSize(), QSize(1268, 663));
        QCOMPARE(w.maximumSize(), QSize(1268, 663));
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
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
                    const QString name = Field(kind, f, r);
                    QLineEdit* field = h.field(name);
                    QVERIFY2(field, qPrintable(name));
                    QCOMPARE(field->text(), QString());
                    QVERIFY2(!field->isEnabled(), qPrintable(name));
                    QCOMPARE(field->palette().color(QPalette::Base), buttonFace);
                }
                // Each size label sits in its field's group, on the same row, to its right.
                auto* label = h.find<QLabel>(SizeLabelName(f, r));
                QLineEdit* lba = h.field(Field("LBA", f, r));
                QVERIFY2(label, qPrintable(SizeLabelName(f, r)));
                QCOMPARE(label->text(), QString());
                QCOMPARE(label->parentWidget(), lba->parentWidget());
                QVERIFY(label->x() >= lba->geometry().right());
                QVERIFY(qAbs(label->y() - lba->y()) <= 4);
            }
        }
    }

    void formatGroups_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("band");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("headCaption");
        QTest::newRow("Main") << "GroupBox1" << "Main format" << 1 << "Panel3" << 0 << true;
        QTest::newRow("Alt 1") << "GroupBox2" << "Alt 1 format" << 2 << "Panel3" << 1 << true;
        QTest::newRow("Alt 2") << "GroupBox6" << "Alt 2 format" << 3 << "Panel3" << 2 << true;
        QTest::newRow("Alt 3") << "GroupBox5" << "Alt 3 format" << 4 << "Panel5" << 0 << true;
        QTest::newRow("Alt 4") << "GroupBox4" << "Alt 4 format" << 5 << "Panel5" << 1 << false;
        QTest::newRow("Alt 5") << "GroupBox3" << "Alt 5 format" << 6 << "Panel5" << 2 << true;
    }

    void formatGroups()
    {
        QFETCH(QString, group);
        QFETCH(QString, caption);
        QFETCH(int, format);
        QFETCH(QString, band);
        QFETCH(int, column);
        QFETCH(bool, headCaption);
        EditorHarness h;
        auto* box = h.find<QGroupBox>(group);
        QVERIFY(box);
        QCOMPARE(box->title(), caption);
        QCOMPARE(box->parentWidget()->objectName(), band);
        QVERIFY(h.find<QWidget>(QStringLiteral("Panel3"))->y() < h.find<QWidget>(QStringLiteral("Panel5"))->y());

        // Place in the band: count the group boxes of the same band to its left.
        int left = 0;
        for (QGroupBox* other : box->parentWidget()->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
            left += other->x() < box->x() ? 1 : 0;
        QCOMPARE(left, column);

        for (int r = 1; r <= 10; ++r) {
            QCOMPARE(h.field(Field("Mdl", format, r))->parentWidget(), box);
            QCOMPARE(h.field(Field("LBA", format, r))->parentWidget(), box);
        }
        QStringList captions;
        for (QLabel* label : box->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            captions << label->text();
        QCOMPARE(captions.contains(QStringLiteral("Hd")), headCaption);
        QVERIFY(captions.contains(QStringLiteral("Модель")));
        // Cyrillic Em, a, ha, not their Latin look-alikes.
        QVERIFY(captions.contains(QString::fromUtf16(u"\u041C\u0430\u0445 LBA")));
        QVERIFY(!captions.contains(QStringLiteral("Max LBA")));
    }

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

        // A right click on the disabled button opens nothing; after Load it opens the menu.
        auto* autoButton = h.find<QPushButton>(QStringLiteral("btAuto"));
        QContextMenuEvent early(QContextMenuEvent::Mouse, QPoint(5, 5), autoButton->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(autoButton, &early);
        QVERIFY(!menu->isVisible());
        LoadRows(h, 4);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), autoButton->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(autoButton, &click);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }

    void fileDialogsListEveryFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::newRow("open") << "OpenDialog1" << int(QFileDialog::AcceptOpen);
        QTest::newRow("save") << "SaveDialog1" << int(QFileDialog::AcceptSave);
    }

    void fileDialogsListEveryFile()
    {
        QFETCH(QString, name);
        QFETCH(int, mode);
        EditorHarness h;
        auto* dialog = h.window().findChild<QFileDialog*>(name);
        QVERIFY(dialog);
        QCOMPARE(int(dialog->acceptMode()), mode);
        // Qt shows "no filter" as the one filter "All Files (*)".
        for (const QString& filter : dialog->nameFilters())
            QVERIFY2(filter.endsWith(QLatin1String("(*)")), qPrintable(filter));
        QVERIFY(dialog->filter() & QDir::Files);
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
        const QStringList panel = {QStringLiteral("btSave"),    QStringLiteral("btLoad"),
                                   QStringLiteral("btAuto"),    QStringLiteral("edModel"),
                                   QStringLiteral("edDivider"), QStringLiteral("edAligned"),
                                   QStringLiteral("cbStdCapacity")};
        QCOMPARE(visited.mid(0, 7), panel);
        // Then the 120 fields, each once: the Main group first, the upper band before the lower.
        const QStringList fields = visited.mid(7);
        QCOMPARE(QSet<QString>(fields.begin(), fields.end()).size(), 120);
        for (int i = 0; i < 120; ++i) {
            const QString& name = fields[i];
            QVERIFY2(name.startsWith(QLatin1String("Mdl")) || name.startsWith(QLatin1String("LBA")), qPrintable(name));
            const int format = name.at(3).digitValue();
            if (i < 20)
                QVERIFY2(format == 1, qPrintable(name));
            else
                QVERIFY2(i < 60 ? format <= 3 : format >= 4, qPrintable(name));
        }
    }

    void modelNameTypingStopsAt24_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("edModel") << "edModel";
        QTest::newRow("Mdl11") << "Mdl11";
        QTest::newRow("Mdl610") << "Mdl610";
    }

    void modelNameTypingStopsAt24()
    {
        QFETCH(QString, name);
        EditorHarness h;
        LoadRows(h, 10);
        QLineEdit* field = h.field(name);
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");

        field->clear();
        h.type(name, alphabet.left(25));
        QCOMPARE(field->text(), alphabet.left(24));

        // A longer name set by the program stays whole; typing adds nothing, deleting works.
        field->setText(alphabet.left(30));
        QCOMPARE(field->text(), alphabet.left(30));
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

    void escapeRunsAutoAfterLoad_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("LBA field") << "LBA23";
        QTest::newRow("model field") << "Mdl47";
        QTest::newRow("command panel") << "edAligned";
    }

    void escapeRunsAutoAfterLoad()
    {
        QFETCH(QString, focus);
        EditorHarness h;
        LoadRows(h, 4);
        h.field(QStringLiteral("LBA11"))->clear();
        QVERIFY(Activate(h.window()));
        h.field(focus)->setFocus();
        QTest::keyClick(h.field(focus), Qt::Key_Escape);
        QCOMPARE(h.takeBoxes(), QStringList{QStringLiteral("Enter LBA Size for Head 0")});

        h.field(QStringLiteral("LBA11"))->setText(QStringLiteral("488397168"));
        QVERIFY(Activate(h.window()));
        h.field(focus)->setFocus();
        QTest::keyClick(h.field(focus), Qt::Key_Escape);
        QCOMPARE(h.text(QStringLiteral("LBA12")), QStringLiteral("976773168"));
        QVERIFY(h.takeBoxes().isEmpty());
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
        QCOMPARE(h.takeBoxes(),
                 (QStringList{QStringLiteral("Enter LBA Size for Head 0"), QStringLiteral("Division by zero.")}));
        QCOMPARE(spy.titles, (QStringList{ApplicationTitle(), ApplicationTitle()}));
        // The executable's name up to its first ".", every letter after the first in lower case.
        // The first letter keeps its case; the rest is lowered.
        QCOMPARE(ApplicationTitle(), QStringLiteral("window_tests"));
    }
};

ZENTAB_WINDOW_TEST(StartupTest)
#include "startup_test.moc"
