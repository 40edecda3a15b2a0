// Load and Save through the real buttons and dialogs: what the window shows,
// and which bytes of the saved module change.

#include "editor_harness.h"
#include "window_test_registry.h"

#include "lba_edit.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using zentab::testkit::ModuleBuilder;

namespace {

// Offsets where two byte vectors differ.
std::vector<std::size_t> Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size() || i >= b.size() || a[i] != b[i])
            at.push_back(i);
    }
    return at;
}

bool Within(std::size_t at, std::size_t start, std::size_t length) { return at >= start && at < start + length; }

}  // namespace

class LoadSaveTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheListsOfEachForm_data()
    {
        QTest::addColumn<bool>("royl");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<int>("rows");
        QTest::newRow("ROYL STD 4") << true << false << 4;
        QTest::newRow("ROYL NEW 10") << true << true << 10;
        QTest::newRow("legacy STD 8") << false << false << 8;
        QTest::newRow("legacy NEW 11") << false << true << 11;
    }

    void showsTheListsOfEachForm()
    {
        QFETCH(bool, royl);
        QFETCH(bool, isNew);
        QFETCH(int, rows);
        EditorHarness h;
        ModuleBuilder builder;
        if (!royl)
            builder.legacy();
        builder.rows(rows).newLayout(isNew);
        const QString file = h.writeModule(QStringLiteral("module.bin"), ModuleBytes(builder));
        h.load(file);

        QCOMPARE(h.window().windowTitle(), QStringLiteral("Редактор списка моделей - module.bin"));
        QCOMPARE(h.labelText(QStringLiteral("laFormat")), isNew ? QStringLiteral("NEW") : QStringLiteral("STD"));
        QVERIFY(h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled());
        QVERIFY(h.find<QPushButton>(QStringLiteral("btAuto"))->isEnabled());
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= 10; ++r) {
                const QString mdl = QStringLiteral("Mdl%1%2").arg(f).arg(r);
                const QString lba = QStringLiteral("LBA%1%2").arg(f).arg(r);
                if (r <= rows) {
                    QCOMPARE(h.text(mdl), QString::fromStdString(ModuleBuilder::defaultName(r, f)));
                    QCOMPARE(h.text(lba), QString::number(builder.defaultValue(r, f)));
                    QVERIFY(h.field(mdl)->isEnabled());
                    QVERIFY(h.field(lba)->isEnabled());
                } else {
                    QCOMPARE(h.text(mdl), QString());
                    QVERIFY(!h.field(mdl)->isEnabled());
                    QVERIFY(!h.field(lba)->isEnabled());
                }
            }
        }
        QCOMPARE(h.module().table.value(11, 6), rows == 11 ? builder.defaultValue(11, 6) : 0);
        QVERIFY(h.takeBoxes().isEmpty());
        QVERIFY(h.unexpected().isEmpty());
    }

    void saveWithoutEditsKeepsEveryByte_data()
    {
        QTest::addColumn<bool>("royl");
        QTest::addColumn<bool>("isNew");
        QTest::newRow("ROYL STD") << true << false;
        QTest::newRow("ROYL NEW") << true << true;
        QTest::newRow("legacy STD") << false << false;
        QTest::newRow("legacy NEW") << false << true;
    }

    void saveWithoutEditsKeepsEveryByte()
    {
        QFETCH(bool, royl);
        QFETCH(bool, isNew);
        EditorHarness h;
        ModuleBuilder builder;
        if (!royl)
            builder.legacy();
        const auto original = ModuleBytes(builder.rows(6).newLayout(isNew));
        h.load(h.writeModule(QStringLiteral("in.bin"), original));
        h.save(h.path(QStringLiteral("out.bin")));
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), original);
        QVERIFY(h.unexpected().isEmpty());
    }

    void editsReachTheSavedModuleAndNothingElse()
    {
        EditorHarness h;
        ModuleBuilder builder;
        builder.rows(4).badChecksum();
        const auto built = builder.build();
        h.load(h.writeModule(QStringLiteral("in.bin"), built.bytes));
        h.field(QStringLiteral("Mdl23"))->setText(QStringLiteral("EDITED NAME"));
        h.field(QStringLiteral("LBA54"))->setText(QStringLiteral("3907029168"));
        h.save(h.path(QStringLiteral("out.bin")));

        const auto saved = h.readFile(QStringLiteral("out.bin"));
        QCOMPARE(saved.size(), built.bytes.size());
        for (std::size_t at : Differences(built.bytes, saved)) {
            const bool allowed = Within(at, 12, 4) || Within(at, built.nameFieldAt(3, 2), 24) ||
                                 Within(at, built.stdValueAt(4, 5), 4);
            QVERIFY2(allowed, qPrintable(QStringLiteral("byte %1 changed").arg(at)));
        }
        QCOMPARE(zentab::testkit::RoylWordSum(saved), 0u);
        const std::string name(saved.begin() + built.nameFieldAt(3, 2), saved.begin() + built.nameFieldAt(3, 2) + 24);
        QCOMPARE(name, std::string("EDITED NAME            ") + '\0');
        const std::uint8_t* v = saved.data() + built.stdValueAt(4, 5);
        QCOMPARE(std::uint32_t(v[0] | v[1] << 8 | v[2] << 16 | std::uint32_t(v[3]) << 24), 3907029168u);
    }

    void savingOverTheLoadedFileAsksFirst()
    {
        EditorHarness h;
        const QString file = h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder().legacy()));
        h.load(file);
        h.field(QStringLiteral("Mdl11"))->setText(QStringLiteral("OVERWRITTEN"));
        // The dialog proposes the loaded file; confirming it asks before overwriting.
        h.save(file);
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].contains(QStringLiteral("m.bin")));
        const auto saved = h.readFile(QStringLiteral("m.bin"));
        QCOMPARE(zentab::testkit::LegacyByteSum(saved), 0);
        QVERIFY(std::search(saved.begin(), saved.end(), "OVERWRITTEN", "OVERWRITTEN" + 11) != saved.end());
        QCOMPARE(h.window().SaveDialog1->selectedFiles().value(0), file);
    }

    void refusedModulesShowNothing_data()
    {
        QTest::addColumn<int>("moduleId");
        QTest::addColumn<int>("entryCount");
        QTest::newRow("module id 13") << 13 << 12;
        QTest::newRow("id 12 in low byte, 1 in high byte") << 0x10C << 12;
        QTest::newRow("empty directory") << 12 << 0;
    }

    void refusedModulesShowNothing()
    {
        QFETCH(int, moduleId);
        QFETCH(int, entryCount);
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("good.bin"), ModuleBytes(ModuleBuilder().newLayout())));
        h.load(h.writeModule(QStringLiteral("bad.bin"),
                             ModuleBytes(ModuleBuilder().moduleId(std::uint16_t(moduleId)).entryCount(entryCount))));
        QCOMPARE(h.window().windowTitle(), QStringLiteral("Редактор списка моделей - bad.bin"));
        QCOMPARE(h.labelText(QStringLiteral("laFormat")), QStringLiteral("NEW"));  // from the previous Load
        QCOMPARE(h.text(QStringLiteral("Mdl11")), QString());
        QVERIFY(!h.field(QStringLiteral("LBA11"))->isEnabled());
        QVERIFY(h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled());
        QVERIFY(h.takeBoxes().isEmpty());

        // Save must not write the previous module's blank lists into this one.
        h.click("btSave");
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].startsWith(QStringLiteral("Nothing to save")));
        QVERIFY(h.unexpected().isEmpty());
    }

    void truncatedModuleReportsStreamReadError()
    {
        EditorHarness h;
        const auto built = ModuleBuilder().rows(4).build();
        // Ends inside the value block of Alt 1: the layout is decided, the
        // names are read, the values are not.
        auto bytes = built.bytes;
        bytes.resize(built.blockOffset[7] + 2);
        h.load(h.writeModule(QStringLiteral("short.bin"), bytes));
        QCOMPARE(h.takeBoxes(), QStringList{QStringLiteral("Stream read error.")});
        QCOMPARE(h.errorBoxes(), 1);
        QCOMPARE(h.labelText(QStringLiteral("laFormat")), QStringLiteral("STD"));
        QVERIFY(!h.field(QStringLiteral("Mdl11"))->isEnabled());
        QVERIFY(!h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled());
        QCOMPARE(h.module().table.name(1, 6), ModuleBuilder::defaultName(1, 6));
        QCOMPARE(h.module().table.value(1, 1), ModuleBuilder().rows(4).defaultValue(1, 1));
        QCOMPARE(h.module().table.value(1, 2), 0);
    }

    void unreadableFileShowsTheSystemReason()
    {
        EditorHarness h;
        const QString missing = h.path(QStringLiteral("gone.bin"));
        h.writeModule(QStringLiteral("gone.bin"), ModuleBytes(ModuleBuilder()));
        // The file vanishes between the dialog and the read.
        connect(h.window().OpenDialog1, &QDialog::accepted, this, [missing] { QFile::remove(missing); },
                Qt::SingleShotConnection);
        h.load(missing);
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(missing)), qPrintable(boxes[0]));
        QVERIFY(boxes[0].endsWith(QLatin1Char('.')));
        QCOMPARE(h.window().windowTitle(), QStringLiteral("Редактор списка моделей - gone.bin"));
        QVERIFY(!h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled());
    }

    void cancelledLoadEmptiesEverythingButKeepsTheCaption()
    {
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("first.bin"), ModuleBytes(ModuleBuilder().rows(3))));
        h.load(QString());
        QCOMPARE(h.window().windowTitle(), QStringLiteral("Редактор списка моделей - first.bin"));
        QCOMPARE(h.labelText(QStringLiteral("laFormat")), QStringLiteral("STD"));
        QCOMPARE(h.module().image.size(), 0);
        QCOMPARE(h.module().layout.rowsPerFormat, 3);
        QCOMPARE(h.text(QStringLiteral("LBA11")), QString());
        QCOMPARE(h.labelText(QStringLiteral("la11")), QString());
        h.click("btSave");
        QCOMPARE(h.takeBoxes().size(), 1);
        QCOMPARE(h.module().image.size(), 0);
    }

    void cancelledSaveWritesNoFile()
    {
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder().badChecksum())));
        const auto before = h.readFile(QStringLiteral("m.bin"));
        h.save(QString());
        QCOMPARE(h.readFile(QStringLiteral("m.bin")), before);
        // The image already carries the new checksum.
        QCOMPARE(zentab::testkit::RoylWordSum(h.module().image.bytes()), 0u);
    }

    void failedSaveLeavesTheOldFile()
    {
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder())));
        const QString target = h.path(QStringLiteral("no-such-folder/out.bin"));
        h.answerFileDialog(target);
        h.click("btSave");
        // The dialog itself refuses a folder that does not exist; nothing is written.
        QVERIFY(!QFile::exists(target));
    }

    void loadPressedWhileTheChecksumRunsIsIgnored()
    {
        EditorHarness h;
        const auto original = ModuleBytes(ModuleBuilder().legacy().rows(3));
        h.load(h.writeModule(QStringLiteral("m.bin"), original));
        // Delivered while Save's checksum lets pending events run: emptying
        // the image under the sum must not happen.
        auto* load = h.find<QPushButton>(QStringLiteral("btLoad"));
        QMetaObject::invokeMethod(load, &QPushButton::click, Qt::QueuedConnection);
        h.save(h.path(QStringLiteral("out.bin")));
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), original);
        QCOMPARE(h.module().image.bytes(), original);
        QVERIFY2(h.unexpected().isEmpty(), qPrintable(h.unexpected().join(QLatin1Char('|'))));
    }

    void blockInsideTheHeaderIsRefusedWithAMessage()
    {
        EditorHarness h;
        // Fewer than 12 entries: the value blocks would fall on offset 0.
        const auto bytes = ModuleBytes(ModuleBuilder().entryCount(6));
        h.load(h.writeModule(QStringLiteral("six.bin"), bytes));
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("Module refused")), qPrintable(boxes[0]));
        QVERIFY(!h.field(QStringLiteral("Mdl11"))->isEnabled());
        h.click("btSave");
        QCOMPARE(h.takeBoxes().size(), 1);
        QCOMPARE(h.module().image.bytes(), bytes);
    }
};

ZENTAB_WINDOW_TEST(LoadSaveTest)
#include "load_save_test.moc"
