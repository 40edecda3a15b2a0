// Capacity arithmetic through the real window: Auto, From Head, the G/T
// shorthand and alignment of the LBA fields, and the size labels. The
// arithmetic itself is tested in the core; here, that the window reads the
// right fields, writes the right ones and saves what it shows.

#include "editor_harness.h"
#include "expected_capacities.h"
#include "window_test_registry.h"

#include "auto_fill.h"
#include "lba_edit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace zentab::testkit;

namespace {

// Everything the grid shows, Format by Format and row by row: name, value
// (each with its enabled state) and size label.
QStringList GridState(EditorHarness& h)
{
    QStringList state;
    for (int f = 1; f <= 6; ++f) {
        for (int r = 1; r <= 10; ++r) {
            for (const char* kind : {"Mdl", "LBA"}) {
                QLineEdit* field = h.field(Field(kind, f, r));
                state << field->text() + (field->isEnabled() ? QStringLiteral(" +") : QStringLiteral(" -"));
            }
            state << h.labelText(SizeLabelName(f, r));
        }
    }
    return state;
}

void Load(EditorHarness& h, int rows, bool isNew = false)
{
    h.load(h.writeModule(QStringLiteral("in.bin"), ModuleBytes(ModuleBuilder().rows(rows).newLayout(isNew))));
}

void CheckCell(EditorHarness& h, int format, int row, const AutoCell& cell)
{
    QCOMPARE(h.text(Field("LBA", format, row)), QString::number(cell.lba));
    QCOMPARE(h.text(Field("Mdl", format, row)), QString::fromStdString(AutoModelName(cell.number)));
    QCOMPARE(h.labelText(SizeLabelName(format, row)), QString::fromLatin1(cell.size));
}

// Restores the default locale when a test that changed it ends, passed or not.
struct LocaleGuard {
    QLocale saved;
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

}  // namespace

class CapacityWindowTest : public QObject {
    Q_OBJECT
private slots:
    void autoFillsEveryFormatAndSaveWritesIt_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("aligned");
        QTest::newRow("STD 4 rows") << 4 << false << "50";
        QTest::newRow("NEW 10 rows") << 10 << true << "50";
        QTest::newRow("NEW 10 rows, empty alignment") << 10 << true << "";
        QTest::newRow("NEW 12 rows: row 11 saved unseen, row 12 kept") << 12 << true << "50";
    }

    void autoFillsEveryFormatAndSaveWritesIt()
    {
        QFETCH(int, rows);
        QFETCH(bool, isNew);
        QFETCH(QString, aligned);
        EditorHarness h;
        Load(h, rows, isNew);
        h.field(QStringLiteral("edAligned"))->setText(aligned);
        h.field(QStringLiteral("LBA11"))->setText(QString::number(kAutoHead0));
        h.click("btAuto");
        QVERIFY(h.takeBoxes().isEmpty());
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= 10; ++r) {
                if (r <= 4)
                    CheckCell(h, f, r, kAutoRows[f - 1][r - 1]);
                if (r > rows)
                    QVERIFY(h.text(Field("LBA", f, r)).isEmpty() && !h.field(Field("LBA", f, r))->isEnabled());
            }
        }
        if (rows >= 10) {
            CheckCell(h, 1, 9, kAutoMainRow9);
            CheckCell(h, 1, 10, kAutoMainRow10);
        }

        // Save writes the table Auto computed and nothing else, checksum included.
        zentab::ModelTable table;
        zentab::AutoFillTable(table, rows, {kAutoHead0});
        ModuleBuilder expected = ModuleBuilder().rows(rows).newLayout(isNew);
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= std::min(rows, 11); ++r)
                expected.name(r, f, table.name(r, f)).value(r, f, table.value(r, f));
        }
        h.save(h.path(QStringLiteral("out.bin")));
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), ModuleBytes(expected));
        QVERIFY(h.unexpected().isEmpty());
    }

    void autoRefusesAndChangesNothing()
    {
        const QString enter = QStringLiteral("Enter LBA Size for Head 0");
        const QString byZero = QStringLiteral("Division by zero.");
        const struct {
            const char *headZero, *divider, *aligned;
            QString box;
        } cases[] = {
            // LBA11 is read before the divider, and without its shorthand.
            {"", "0", "50", enter}, {"250G", "0", "0", enter},
            {"488397168", "0", "50", byZero}, {"488397168", "", "50", byZero}, {"488397168", "15", "0", byZero},
        };
        EditorHarness h;
        Load(h, 4);
        int errors = 0;
        for (const auto& c : cases) {
            h.field(QStringLiteral("LBA11"))->setText(QString::fromLatin1(c.headZero));
            h.field(QStringLiteral("edDivider"))->setText(QString::fromLatin1(c.divider));
            h.field(QStringLiteral("edAligned"))->setText(QString::fromLatin1(c.aligned));
            const QStringList grid = GridState(h);
            const zentab::ModelTable table = h.module().table;
            const QString title = h.window().windowTitle();

            h.click("btAuto");
            QCOMPARE(h.takeBoxes(), QStringList{c.box});
            errors += c.box == byZero ? 1 : 0;
            QCOMPARE(h.errorBoxes(), errors);
            QCOMPARE(GridState(h), grid);
            QVERIFY(h.module().table.names == table.names && h.module().table.values == table.values);
            QCOMPARE(h.window().windowTitle(), title);
            QCOMPARE(h.text(QStringLiteral("edDivider")), QString::fromLatin1(c.divider));
        }
        QVERIFY(h.unexpected().isEmpty());
    }

    void autoTwiceStartsFromItsOwnRowOne()
    {
        EditorHarness h;
        Load(h, 10, true);
        h.field(QStringLiteral("LBA11"))->setText(QStringLiteral("500000000"));
        h.click("btAuto");
        QCOMPARE(h.text(QStringLiteral("LBA19")), QStringLiteral("4493080368"));
        QCOMPARE(h.text(QStringLiteral("LBA11")), QString::number(kAutoHead0));
        h.click("btAuto");
        QCOMPARE(h.text(QStringLiteral("LBA19")), QString::number(kAutoMainRow9.lba));
        QCOMPARE(h.module().table.value(9, 1), kAutoMainRow9.lba);
        QVERIFY(h.takeBoxes().isEmpty());
    }

    void fromHeadRewritesMainFieldsOnly()
    {
        EditorHarness h;
        Load(h, 8);
        h.field(QStringLiteral("LBA18"))->setText(QStringLiteral("3907029168"));
        const QStringList before = GridState(h);
        const zentab::ModelTable table = h.module().table;

        // Through the context menu of Auto, as the user picks the item.
        auto* autoButton = h.find<QPushButton>(QStringLiteral("btAuto"));
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), autoButton->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(autoButton, &rightClick);
        QMenu* menu = h.window().pmFromHeads;
        QTRY_VERIFY(menu->isVisible());
        QAction* item = h.window().findChild<QAction*>(QStringLiteral("miFromHead8"));
        QVERIFY(item);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        QTRY_VERIFY(!menu->isVisible());

        // Row 8 over 8 heads, with the template and alignment of the panel.
        const auto rows = zentab::FromHeadRows(3907029168 / 8, 8, 50, "WDC WD20EARS-00MVWB0");
        ModuleBuilder expected = ModuleBuilder().rows(8);
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(h.text(Field("LBA", 1, r)), QString::number(rows[r - 1].value));
            QCOMPARE(h.text(Field("Mdl", 1, r)), QString::fromStdString(rows[r - 1].name));
            expected.name(r, 1, rows[r - 1].name).value(r, 1, rows[r - 1].value);
        }
        QCOMPARE(h.labelText(QStringLiteral("la11")), QStringLiteral("250G"));
        // Main rows 9 and 10 and the other Formats as they were; the table waits for Save.
        QCOMPARE(GridState(h).mid(24), before.mid(24));
        QVERIFY(h.module().table.values == table.values);
        QVERIFY(h.takeBoxes().isEmpty());

        h.save(h.path(QStringLiteral("out.bin")));
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), ModuleBytes(expected));
    }

    void fromHeadOfARowWithoutDataGivesTheZeroModel()
    {
        EditorHarness h;
        Load(h, 4);
        const QStringList before = GridState(h);
        h.window().miFromHead[7]->trigger();
        for (int r = 1; r <= 4; ++r)
            CheckCell(h, 1, r, {21168, "0", "11M"});
        QCOMPARE(GridState(h).mid(12), before.mid(12));
        QVERIFY(h.takeBoxes().isEmpty());
    }

    // The full tables of both keys are in the core; these show the wiring.
    void enterAndButtonConvert()
    {
        EditorHarness h;
        Load(h, 4);
        auto* field = h.find<LbaEdit>(QStringLiteral("LBA33"));
        const struct {
            const char* typed;
            bool button;
            const char* result;
            const char* size;
        } cases[] = {
            {"2000G", false, "3907029168", "2.0T"}, {"2T", true, "3907029168", "2.0T"}, {"2000g", false, "2000g", ""},
            {"2000g", true, "0", ""},               {"1000000", true, "999936", "512M"},
            {"2TG", false, "21168", "11M"},         {"1000000", false, "1000000", "512M"},
        };
        for (const auto& c : cases) {
            field->setText(QString::fromLatin1(c.typed));
            if (c.button)
                QTest::mouseClick(field->button(), Qt::LeftButton);
            else
                h.pressEnter(QStringLiteral("LBA33"));
            QCOMPARE(field->text(), QString::fromLatin1(c.result));
            QCOMPARE(h.labelText(QStringLiteral("la232")), QString::fromLatin1(c.size));
        }
        QVERIFY(h.takeBoxes().isEmpty());
    }

    void everyFieldConvertsItselfAndItsOwnLabel()
    {
        EditorHarness h;
        Load(h, 10);
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= 10; ++r) {
                const QString name = Field("LBA", f, r);
                auto* field = h.find<LbaEdit>(name);
                QStringList expected = GridState(h);
                const int at = ((f - 1) * 10 + (r - 1)) * 3;
                expected[at + 1] = QStringLiteral("3907029168 +");
                expected[at + 2] = QStringLiteral("2.0T");
                field->setText(QStringLiteral("2T"));
                if ((f + r) % 2)
                    QTest::mouseClick(field->button(), Qt::LeftButton);
                else
                    h.pressEnter(name);
                QVERIFY2(GridState(h) == expected, qPrintable(name));
            }
        }
    }

    void sizeLabelFollowsTyping()
    {
        EditorHarness h;
        Load(h, 4);
        h.field(QStringLiteral("LBA24"))->clear();
        QStringList labels;
        for (QChar c : QStringLiteral("2000G")) {
            h.type(QStringLiteral("LBA24"), QString(c));
            labels << h.labelText(QStringLiteral("la241"));
        }
        QCOMPARE(labels, (QStringList{"1", "10", "102", "1M", ""}));
        h.pressEnter(QStringLiteral("LBA24"));
        QCOMPARE(h.text(QStringLiteral("LBA24")), QStringLiteral("3907029168"));
        QCOMPARE(h.labelText(QStringLiteral("la241")), QStringLiteral("2.0T"));
    }

    void sizeLabelUsesTheLocaleDecimalSeparator()
    {
        const LocaleGuard guard{QLocale()};
        EditorHarness h;
        Load(h, 4);
        // Arabic's separator is one character of two bytes in UTF-8.
        for (const auto& [locale, separator] : {std::pair{QLocale(QLocale::German), QStringLiteral(",")},
                                                std::pair{QLocale(QLocale::Arabic, QLocale::Egypt), QStringLiteral("\u066B")}}) {
            QLocale::setDefault(locale);
            h.field(QStringLiteral("LBA12"))->setText(QStringLiteral("2T"));
            h.pressEnter(QStringLiteral("LBA12"));
            QCOMPARE(h.labelText(QStringLiteral("la12")), "2" + separator + "0T");
            h.field(QStringLiteral("LBA12"))->setText(QStringLiteral("3906250000000"));
            QCOMPARE(h.labelText(QStringLiteral("la12")), "2" + separator + "00P");
        }
    }
};

ZENTAB_WINDOW_TEST(CapacityWindowTest)
#include "capacity_window_test.moc"
