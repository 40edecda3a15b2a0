// Capacity arithmetic through the real window: Auto, From Head, the G/T
// shorthand and alignment of the LBA fields, and the size labels.

#include "editor_harness.h"
#include "window_test_registry.h"

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

using zentab::testkit::ModuleBuilder;

namespace {

QString ModelName(const char* number) { return QStringLiteral("WDC WD%1EARS-00MVWB0").arg(number); }

struct Cell {
    qint64 value;
    const char* number;  // model number in the name
    const char* size;    // size label
};

// Auto with 488397168 in LBA11, divider 15, alignment 50: rows 1 to 4 of each Format.
const Cell kAutoRows1To4[6][4] = {
    {{488397168, "2500", "250G"}, {976773168, "5000", "500G"},
     {1465149168, "7500", "750G"}, {1953525168, "10", "1.0T"}},
    {{390721968, "2000", "200G"}, {879097968, "4500", "450G"},
     {1367473968, "7000", "700G"}, {1758174768, "9000", "900G"}},
    {{390721968, "2000", "200G"}, {781422768, "4000", "400G"},
     {1269798768, "6500", "650G"}, {1660499568, "8500", "850G"}},
    {{390721968, "2000", "200G"}, {781422768, "4000", "400G"},
     {1172123568, "6000", "600G"}, {1562824368, "8000", "800G"}},
    {{293046768, "1500", "150G"}, {683747568, "3500", "350G"},
     {1074448368, "5500", "550G"}, {1367473968, "7000", "700G"}},
    {{293046768, "1500", "150G"}, {586072368, "3000", "300G"},
     {976773168, "5000", "500G"}, {1269798768, "6500", "650G"}},
};

// Everything the grid shows: texts, enabled states and size labels.
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

bool SameTable(const zentab::ModelTable& a, const zentab::ModelTable& b)
{
    return a.names == b.names && a.values == b.values;
}

ModuleBuilder Builder(int rows, bool isNew) { return ModuleBuilder().rows(rows).newLayout(isNew); }

void Load(EditorHarness& h, const ModuleBuilder& builder)
{
    h.load(h.writeModule(QStringLiteral("in.bin"), ModuleBytes(builder)));
}

void RunAuto(EditorHarness& h, const QString& headZero)
{
    h.field(QStringLiteral("LBA11"))->setText(headZero);
    h.click("btAuto");
}

void CheckCell(EditorHarness& h, int format, int row, qint64 value, const QString& name, const QString& size)
{
    QCOMPARE(h.text(Field("LBA", format, row)), QString::number(value));
    QCOMPARE(h.text(Field("Mdl", format, row)), name);
    QCOMPARE(h.labelText(SizeLabelName(format, row)), size);
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
    }

    void autoFillsEveryFormatAndSaveWritesIt()
    {
        QFETCH(int, rows);
        QFETCH(bool, isNew);
        QFETCH(QString, aligned);
        EditorHarness h;
        Load(h, Builder(rows, isNew));
        h.field(QStringLiteral("edAligned"))->setText(aligned);
        RunAuto(h, QStringLiteral("488397168"));
        QVERIFY(h.takeBoxes().isEmpty());

        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= 4; ++r) {
                const Cell& cell = kAutoRows1To4[f - 1][r - 1];
                CheckCell(h, f, r, cell.value, ModelName(cell.number), QString::fromLatin1(cell.size));
            }
        }
        if (rows == 10) {
            CheckCell(h, 1, 9, 4395405168, ModelName("22"), QStringLiteral("2.3T"));
            CheckCell(h, 1, 10, 4883781168, ModelName("25"), QStringLiteral("2.5T"));
        }
        for (int f = 1; f <= 6; ++f) {
            for (int r = rows + 1; r <= 10; ++r) {
                QCOMPARE(h.text(Field("LBA", f, r)), QString());
                QVERIFY(!h.field(Field("LBA", f, r))->isEnabled());
            }
        }

        // Save writes what Auto showed, with a valid checksum, and nothing else.
        ModuleBuilder expected = Builder(rows, isNew);
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= rows; ++r) {
                expected.name(r, f, h.text(Field("Mdl", f, r)).toStdString());
                expected.value(r, f, h.text(Field("LBA", f, r)).toLongLong());
            }
        }
        h.save(h.path(QStringLiteral("out.bin")));
        const auto saved = h.readFile(QStringLiteral("out.bin"));
        QCOMPARE(saved, ModuleBytes(expected));
        QCOMPARE(zentab::testkit::RoylWordSum(saved), 0u);
        QVERIFY(h.unexpected().isEmpty());
    }

    void autoFillsTheEleventhRowOfALongerModule()
    {
        EditorHarness h;
        const auto built = Builder(12, true).build();
        h.load(h.writeModule(QStringLiteral("in.bin"), built.bytes));
        RunAuto(h, QStringLiteral("488397168"));
        h.save(h.path(QStringLiteral("out.bin")));
        const auto saved = h.readFile(QStringLiteral("out.bin"));
        QCOMPARE(saved.size(), built.bytes.size());
        QCOMPARE(zentab::testkit::RoylWordSum(saved), 0u);

        auto int64At = [&saved](std::int64_t at) {
            std::uint64_t v = 0;
            for (int i = 7; i >= 0; --i)
                v = v << 8 | saved[std::size_t(at + i)];
            return qint64(v);
        };
        auto nameAt = [&saved](std::uint32_t at) { return std::string(saved.begin() + at, saved.begin() + at + 24); };
        // Row 11 (2751 GB aligned to 2750) is written though not shown; row 12 stays as it was.
        QCOMPARE(int64At(built.newValueAt(11, 1, 12)), 5372157168);
        QCOMPARE(nameAt(built.nameFieldAt(11, 1)), std::string("WDC WD27EARS-00MVWB0   ") + '\0');
        for (int f = 1; f <= 6; ++f) {
            QCOMPARE(int64At(built.newValueAt(12, f, 12)), Builder(12, true).defaultValue(12, f));
            QCOMPARE(nameAt(built.nameFieldAt(12, f)),
                     std::string(built.bytes.begin() + built.nameFieldAt(12, f),
                                 built.bytes.begin() + built.nameFieldAt(12, f) + 24));
        }
    }

    void autoRefusesAndChangesNothing_data()
    {
        QTest::addColumn<QString>("headZero");
        QTest::addColumn<QString>("divider");
        QTest::addColumn<QString>("aligned");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("error");
        const QString enter = QStringLiteral("Enter LBA Size for Head 0");
        const QString byZero = QStringLiteral("Division by zero.");
        QTest::newRow("empty LBA11") << "" << "15" << "50" << enter << false;
        QTest::newRow("empty LBA11, divider 0") << "" << "0" << "50" << enter << false;
        QTest::newRow("LBA11 shorthand not converted") << "250G" << "0" << "0" << enter << false;
        QTest::newRow("divider 0") << "488397168" << "0" << "50" << byZero << true;
        QTest::newRow("empty divider") << "488397168" << "" << "50" << byZero << true;
        QTest::newRow("alignment 0") << "488397168" << "15" << "0" << byZero << true;
    }

    void autoRefusesAndChangesNothing()
    {
        QFETCH(QString, headZero);
        QFETCH(QString, divider);
        QFETCH(QString, aligned);
        QFETCH(QString, box);
        QFETCH(bool, error);
        EditorHarness h;
        Load(h, Builder(4, false));
        h.field(QStringLiteral("LBA11"))->setText(headZero);
        h.field(QStringLiteral("edDivider"))->setText(divider);
        h.field(QStringLiteral("edAligned"))->setText(aligned);
        const QStringList grid = GridState(h);
        const zentab::ModelTable table = h.module().table;
        const QString title = h.window().windowTitle();

        h.click("btAuto");
        QCOMPARE(h.takeBoxes(), QStringList{box});
        QCOMPARE(h.errorBoxes(), error ? 1 : 0);
        QCOMPARE(GridState(h), grid);
        QVERIFY(SameTable(h.module().table, table));
        QCOMPARE(h.window().windowTitle(), title);
        QCOMPARE(h.text(QStringLiteral("edDivider")), divider);
        QVERIFY(h.unexpected().isEmpty());
    }

    void autoTwiceStartsFromItsOwnRowOne()
    {
        EditorHarness h;
        Load(h, Builder(10, true));
        RunAuto(h, QStringLiteral("500000000"));
        QCOMPARE(h.text(QStringLiteral("LBA19")), QStringLiteral("4493080368"));
        QCOMPARE(h.text(QStringLiteral("LBA11")), QStringLiteral("488397168"));
        h.click("btAuto");
        QCOMPARE(h.text(QStringLiteral("LBA19")), QStringLiteral("4395405168"));
        QCOMPARE(h.module().table.value(9, 1), 4395405168);
        QVERIFY(h.takeBoxes().isEmpty());
    }

    void fromHeadRewritesMainFieldsOnly()
    {
        EditorHarness h;
        Load(h, Builder(8, false));
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

        const qint64 values[8] = {488397168,  976773168,  1465149168, 1953525168,
                                  2441901168, 2930277168, 3418653168, 3907029168};
        const char* numbers[8] = {"2500", "5000", "7500", "10", "12", "15", "17", "20"};
        const char* sizes[8] = {"250G", "500G", "750G", "1.0T", "1.3T", "1.5T", "1.8T", "2.0T"};
        for (int r = 1; r <= 8; ++r)
            CheckCell(h, 1, r, values[r - 1], ModelName(numbers[r - 1]), QString::fromLatin1(sizes[r - 1]));
        // Other Formats and rows without data as they were; the table waits for Save.
        const QStringList after = GridState(h);
        for (int i = 30; i < before.size(); ++i)
            QCOMPARE(after[i], before[i]);
        for (int i = 24; i < 30; ++i)
            QCOMPARE(after[i], before[i]);
        QVERIFY(SameTable(h.module().table, table));
        QVERIFY(h.takeBoxes().isEmpty());

        h.save(h.path(QStringLiteral("out.bin")));
        ModuleBuilder expected = Builder(8, false);
        for (int r = 1; r <= 8; ++r)
            expected.name(r, 1, ModelName(numbers[r - 1]).toStdString()).value(r, 1, values[r - 1]);
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), ModuleBytes(expected));
        QCOMPARE(h.module().table.value(8, 1), 3907029168);
    }

    void fromHeadOfARowWithoutDataGivesTheZeroModel()
    {
        EditorHarness h;
        Load(h, Builder(4, false));
        const QStringList before = GridState(h);
        h.window().miFromHead[7]->trigger();
        for (int r = 1; r <= 4; ++r)
            CheckCell(h, 1, r, 21168, ModelName("0"), QStringLiteral("11M"));
        const QStringList after = GridState(h);
        QCOMPARE(after.mid(12), before.mid(12));
        QVERIFY(h.takeBoxes().isEmpty());
    }

    void enterAndButtonConvert_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("button");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("size");
        // Shorthand converts alike on Enter and on the button.
        const char* shorthand[][3] = {
            {"2000G", "3907029168", "2.0T"}, {"2T", "3907029168", "2.0T"},  {"500G", "976773168", "500G"},
            {"4T", "7814037168", "4.0T"},    {"2000GB", "3907029168", "2.0T"}, {"2TB", "3907029168", "2.0T"},
            {"1.5T", "21168", "11M"},        {"500 G", "21168", "11M"},     {"G", "21168", "11M"},
            {" 500G", "976773168", "500G"},  {"2TG", "21168", "11M"},
        };
        for (bool button : {false, true}) {
            for (const auto& [typed, result, size] : shorthand) {
                QTest::addRow("%s on \"%s\"", button ? "button" : "Enter", typed)
                    << QString::fromLatin1(typed) << button << QString::fromLatin1(result) << QString::fromLatin1(size);
            }
        }
        QTest::newRow("Enter on lower-case g") << "2000g" << false << "2000g" << "";
        QTest::newRow("button on lower-case g") << "2000g" << true << "0" << "";
        QTest::newRow("Enter on a plain number") << "1000000" << false << "1000000" << "512M";
        QTest::newRow("button aligns down") << "1000000" << true << "999936" << "512M";
        QTest::newRow("button on an aligned value") << "976773168" << true << "976773168" << "500G";
        QTest::newRow("button below one step") << "1007" << true << "0" << "";
        QTest::newRow("button on a negative value") << "-1500" << true << "-1008" << "-516";
    }

    void enterAndButtonConvert()
    {
        QFETCH(QString, typed);
        QFETCH(bool, button);
        QFETCH(QString, result);
        QFETCH(QString, size);
        EditorHarness h;
        Load(h, Builder(4, false));
        auto* field = h.find<LbaEdit>(QStringLiteral("LBA33"));
        field->setText(typed);
        if (button)
            QTest::mouseClick(field->button(), Qt::LeftButton);
        else
            h.pressEnter(QStringLiteral("LBA33"));
        QCOMPARE(field->text(), result);
        QCOMPARE(h.labelText(QStringLiteral("la232")), size);
        QVERIFY(h.takeBoxes().isEmpty());
    }

    void everyFieldConvertsItselfAndItsOwnLabel()
    {
        EditorHarness h;
        Load(h, Builder(10, false));
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= 10; ++r) {
                const QString name = Field("LBA", f, r);
                auto* field = h.find<LbaEdit>(name);
                const QStringList before = GridState(h);
                field->setText(QStringLiteral("2T"));
                if ((f + r) % 2)
                    QTest::mouseClick(field->button(), Qt::LeftButton);
                else
                    h.pressEnter(name);
                QCOMPARE(field->text(), QStringLiteral("3907029168"));
                QCOMPARE(h.labelText(SizeLabelName(f, r)), QStringLiteral("2.0T"));
                // Only this field and its label changed.
                const QStringList after = GridState(h);
                const int at = ((f - 1) * 10 + (r - 1)) * 3;
                for (int i = 0; i < after.size(); ++i) {
                    if (i != at + 1 && i != at + 2)
                        QVERIFY2(after[i] == before[i], qPrintable(name));
                }
            }
        }
    }

    void sizeLabelFollowsTyping()
    {
        EditorHarness h;
        Load(h, Builder(4, false));
        QLineEdit* field = h.field(QStringLiteral("LBA24"));
        field->clear();
        QStringList labels;
        for (QChar c : QStringLiteral("2000G")) {
            h.type(QStringLiteral("LBA24"), QString(c));
            labels << h.labelText(QStringLiteral("la241"));
        }
        QCOMPARE(labels, (QStringList{"1", "10", "102", "1M", ""}));
        h.pressEnter(QStringLiteral("LBA24"));
        QCOMPARE(field->text(), QStringLiteral("3907029168"));
        QCOMPARE(h.labelText(QStringLiteral("la241")), QStringLiteral("2.0T"));
    }

    void sizeLabelOfSetValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("size");
        QTest::newRow("exactly 10^12 bytes") << "1953125000" << "1000G";
        QTest::newRow("999.68 G") << "1952500000" << "1000G";
        QTest::newRow("just over 1000 G") << "1953525168" << "1.0T";
        QTest::newRow("emptied") << "" << "";
        QTest::newRow("not a number") << "12a" << "";
    }

    void sizeLabelOfSetValues()
    {
        QFETCH(QString, value);
        QFETCH(QString, size);
        EditorHarness h;
        Load(h, Builder(4, false));
        h.field(QStringLiteral("LBA64"))->setText(QStringLiteral("976773168"));
        QCOMPARE(h.labelText(QStringLiteral("la244")), QStringLiteral("500G"));
        h.field(QStringLiteral("LBA64"))->setText(value);
        QCOMPARE(h.labelText(QStringLiteral("la244")), size);
    }

    void sizeLabelUsesTheLocaleDecimalSeparator()
    {
        const LocaleGuard guard{QLocale()};
        EditorHarness h;
        Load(h, Builder(4, false));
        QLocale::setDefault(QLocale(QLocale::German));
        h.field(QStringLiteral("LBA12"))->setText(QStringLiteral("2T"));
        h.pressEnter(QStringLiteral("LBA12"));
        QCOMPARE(h.labelText(QStringLiteral("la12")), QStringLiteral("2,0T"));
        h.field(QStringLiteral("LBA12"))->setText(QStringLiteral("3906250000000"));
        QCOMPARE(h.labelText(QStringLiteral("la12")), QStringLiteral("2,00P"));
    }
};

ZENTAB_WINDOW_TEST(CapacityWindowTest)
#include "capacity_window_test.moc"
