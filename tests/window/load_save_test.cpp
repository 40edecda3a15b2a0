// Load and Save through the real buttons and dialogs: what the window shows,
// and which bytes of the saved module change.

#include "editor_harness.h"
#include "window_test_registry.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QCloseEvent>
#include <QWindow>

using zentab::testkit::ModuleBuilder;

namespace {

const QString kTitle = QStringLiteral("Редактор списка моделей - ");

}  // namespace

class LoadSaveTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheListsOfEachFormAndSavesThemUnchanged_data()
    {
        QTest::addColumn<bool>("royl");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<int>("rows");
        QTest::newRow("ROYL STD 4") << true << false << 4;
        QTest::newRow("ROYL NEW 10") << true << true << 10;
        QTest::newRow("legacy STD 8") << false << false << 8;
        QTest::newRow("legacy NEW 11") << false << true << 11;
    }

    // Rows beyond the grid are not shown but must survive Save.
    void showsTheListsOfEachFormAndSavesThemUnchanged()
    {
        QFETCH(bool, royl);
        QFETCH(bool, isNew);
        QFETCH(int, rows);
        EditorHarness h;
        ModuleBuilder builder;
        if (!royl)
            builder.legacy();
        const auto original = ModuleBytes(builder.rows(rows).newLayout(isNew));
        h.load(h.writeModule(QStringLiteral("module.bin"), original));

        QCOMPARE(h.window().windowTitle(), kTitle + QStringLiteral("module.bin"));
        QCOMPARE(h.labelText(QStringLiteral("laFormat")), isNew ? QStringLiteral("NEW") : QStringLiteral("STD"));
        QVERIFY(h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled());
        QVERIFY(h.find<QPushButton>(QStringLiteral("btAuto"))->isEnabled());
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= 10; ++r) {
                const bool used = r <= rows;
                QCOMPARE(h.text(Field("Mdl", f, r)),
                         used ? QString::fromStdString(ModuleBuilder::defaultName(r, f)) : QString());
                QCOMPARE(h.text(Field("LBA", f, r)), used ? QString::number(builder.defaultValue(r, f)) : QString());
                QCOMPARE(h.field(Field("Mdl", f, r))->isEnabled(), used);
                QCOMPARE(h.field(Field("LBA", f, r))->isEnabled(), used);
            }
        }
        QCOMPARE(h.module().table.value(11, 6), rows == 11 ? builder.defaultValue(11, 6) : 0);
        QVERIFY(h.takeBoxes().isEmpty());

        h.save(h.path(QStringLiteral("out.bin")));
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), original);
        QVERIFY(h.unexpected().isEmpty());
    }

    void editsReachTheSavedModuleAndNothingElse()
    {
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("in.bin"), ModuleBytes(ModuleBuilder().badChecksum())));
        h.field(QStringLiteral("Mdl23"))->setText(QStringLiteral("EDITED NAME"));
        h.field(QStringLiteral("LBA54"))->setText(QStringLiteral("3907029168"));
        h.save(h.path(QStringLiteral("out.bin")));
        // Whole-module comparison: the checksum is made valid too.
        QCOMPARE(h.readFile(QStringLiteral("out.bin")),
                 ModuleBytes(ModuleBuilder().name(3, 2, "EDITED NAME").value(4, 5, 3907029168)));
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
        QCOMPARE(h.readFile(QStringLiteral("m.bin")), ModuleBytes(ModuleBuilder().legacy().name(1, 1, "OVERWRITTEN")));
        QCOMPARE(h.window().SaveDialog1->selectedFiles().value(0), file);
    }

    void refusedModulesShowNothing_data()
    {
        QTest::addColumn<QByteArray>("module");
        QTest::addColumn<QString>("box");  // start of the box Load shows; empty for none
        const auto bytes = [](const ModuleBuilder& b) {
            const auto v = b.build().bytes;
            return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
        };
        QTest::newRow("module id 13") << bytes(ModuleBuilder().moduleId(13)) << QString();
        QTest::newRow("empty directory") << bytes(ModuleBuilder().entryCount(0)) << QString();
    }

    // Whatever the rules can read is shown; only Save asks whether the
    // blocks can take a write, and refuses without touching image or file.
    void unwritableModulesAreShownAndSaveRefuses_data()
    {
        QTest::addColumn<QByteArray>("module");
        QTest::addColumn<QString>("reason");
        const auto bytes = [](const ModuleBuilder& b) {
            const auto v = b.build().bytes;
            return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
        };
        // Fewer than 12 entries: the value blocks fall on offset 0.
        QTest::newRow("value blocks in the header") << bytes(ModuleBuilder().entryCount(6))
                                                    << QStringLiteral("inside the module header");
        QTest::newRow("name block over the header") << bytes(ModuleBuilder().entry(2, 8, 96))
                                                    << QStringLiteral("inside the module header");
    }

    void unwritableModulesAreShownAndSaveRefuses()
    {
        QFETCH(QByteArray, module);
        QFETCH(QString, reason);
        EditorHarness h;
        const std::vector<std::uint8_t> bytes(module.begin(), module.end());
        const QString file = h.writeModule(QStringLiteral("m.bin"), bytes);
        h.load(file);
        QVERIFY(h.takeBoxes().isEmpty());
        QCOMPARE(h.text(QStringLiteral("Mdl11")), QString::fromStdString(ModuleBuilder::defaultName(1, 1)));
        h.click("btSave");
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("Save refused")) && boxes[0].contains(reason),
                 qPrintable(boxes[0]));
        QCOMPARE(h.module().image.bytes(), bytes);
        QCOMPARE(h.readFile(QStringLiteral("m.bin")), bytes);
        QVERIFY(h.unexpected().isEmpty());
    }

    void refusedModulesShowNothing()
    {
        QFETCH(QByteArray, module);
        QFETCH(QString, box);
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("good.bin"), ModuleBytes(ModuleBuilder().newLayout())));
        const std::vector<std::uint8_t> bytes(module.begin(), module.end());
        h.load(h.writeModule(QStringLiteral("bad.bin"), bytes));
        QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), box.isEmpty() ? 0 : 1);
        QVERIFY(box.isEmpty() || boxes[0].startsWith(box));
        QCOMPARE(h.window().windowTitle(), kTitle + QStringLiteral("bad.bin"));
        QCOMPARE(h.labelText(QStringLiteral("laFormat")), QStringLiteral("NEW"));
        QCOMPARE(h.text(QStringLiteral("Mdl11")), QString());
        QVERIFY(!h.field(QStringLiteral("LBA11"))->isEnabled());
        QVERIFY(h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled());

        // Save must not write the previous module's blank lists into this one.
        h.click("btSave");
        boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].startsWith(QStringLiteral("Nothing to save")));
        QCOMPARE(h.module().image.bytes(), bytes);
        QVERIFY(h.unexpected().isEmpty());
    }

    void truncatedModuleReportsStreamReadError()
    {
        EditorHarness h;
        const auto built = ModuleBuilder().build();
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
        QCOMPARE(h.module().table.value(1, 1), ModuleBuilder().defaultValue(1, 1));
        QCOMPARE(h.module().table.value(1, 2), 0);
    }

    void unreadableFileShowsTheSystemReason()
    {
        EditorHarness h;
        const QString missing = h.writeModule(QStringLiteral("gone.bin"), ModuleBytes(ModuleBuilder()));
        // The file vanishes between the dialog and the read.
        connect(h.window().openDialog(), &QDialog::accepted, this, [missing] { QFile::remove(missing); },
                Qt::SingleShotConnection);
        h.load(missing);
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(missing)), qPrintable(boxes[0]));
        QVERIFY(boxes[0].endsWith(QLatin1Char('.')));
        QCOMPARE(h.window().windowTitle(), kTitle + QStringLiteral("gone.bin"));
        QVERIFY(!h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled());
    }

    void cancelledLoadEmptiesEverythingButKeepsTheCaption()
    {
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("first.bin"), ModuleBytes(ModuleBuilder().rows(3))));
        h.load(QString());
        QCOMPARE(h.window().windowTitle(), kTitle + QStringLiteral("first.bin"));
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

    // A name in a folder that does not exist is refused in the dialog, which
    // stays open, rather than failing after the user has gone.
    void saveDialogRefusesAMissingFolder()
    {
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder())));
        const QString target = h.path(QStringLiteral("no such folder/out.bin"));
        h.save(target);
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains(QStringLiteral("The folder does not exist.")), qPrintable(boxes[0]));
        QVERIFY2(boxes[0].contains(QStringLiteral("no such folder")), qPrintable(boxes[0]));
        QCOMPARE(h.unexpected(), QStringList{QStringLiteral("SaveDialog1 stayed open")});
        QVERIFY(!QFileInfo::exists(h.path(QStringLiteral("no such folder"))));
        QCOMPARE(h.errorBoxes(), 0);
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
    // FF..FF in a NEW module shows as -1, which the keyboard could not
    // enter; left alone, it is the module's own and saves as it was read.
    void untouchedNegativeValuesSaveAsRead()
    {
        EditorHarness h;
        const auto original = ModuleBytes(ModuleBuilder().rows(11).newLayout().value(2, 1, -1).value(11, 6, -1));
        h.load(h.writeModule(QStringLiteral("m.bin"), original));
        QCOMPARE(h.text(QStringLiteral("LBA12")), QStringLiteral("-1"));
        h.save(h.path(QStringLiteral("out.bin")));
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), original);
        QVERIFY2(h.takeBoxes().isEmpty(), "Save refused values nobody typed");
    }

    // Edit, Save (or cancel its dialog), then type the loaded text back:
    // the value saves as it was read, not as the earlier edit.
    void loadedTextTypedBackAfterASaveSavesAsRead_data()
    {
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<bool>("confirmed");
        for (bool isNew : {false, true}) {
            for (bool confirmed : {true, false})
                QTest::addRow("%s, %s", isNew ? "NEW" : "STD", confirmed ? "saved" : "cancelled") << isNew << confirmed;
        }
    }

    void loadedTextTypedBackAfterASaveSavesAsRead()
    {
        QFETCH(bool, isNew);
        QFETCH(bool, confirmed);
        EditorHarness h;
        const auto original = ModuleBytes(ModuleBuilder().rows(4).newLayout(isNew).value(2, 3, isNew ? -1 : 123456));
        h.load(h.writeModule(QStringLiteral("m.bin"), original));
        const QString field = QStringLiteral("LBA32");
        const QString loaded = h.text(field);
        h.field(field)->clear();
        h.type(field, isNew ? QStringLiteral("5") : QStringLiteral("1000000"));
        h.save(confirmed ? h.path(QStringLiteral("first.bin")) : QString());
        h.field(field)->clear();
        h.type(field, loaded);
        h.save(h.path(QStringLiteral("second.bin")));
        QCOMPARE(h.readFile(QStringLiteral("second.bin")), original);
        QVERIFY2(h.takeBoxes().isEmpty(), "Save refused the value Load showed");
        QVERIFY2(h.unexpected().isEmpty(), qPrintable(h.unexpected().join(QLatin1Char('|'))));
    }

    void closeWhileTheChecksumRunsWaitsForSaveToEnd()
    {
        EditorHarness h;
        const auto original = ModuleBytes(ModuleBuilder().rows(3));
        h.load(h.writeModule(QStringLiteral("m.bin"), original));
        QVERIFY(h.window().isVisible());
        // The window must stay until Save is done: hidden under it, the
        // program would run on with no window.
        struct HideWatch : QObject {
            TfmZentabEditor* window = nullptr;
            int hiddenWhileSaving = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Hide && window->session().saving())
                    ++hiddenWhileSaving;
                return false;
            }
        } watch;
        watch.window = &h.window();
        h.window().installEventFilter(&watch);
        // Run from the application's own loop, which the held close must end
        // once Save is done, as a close outside Save does.
        QTimer::singleShot(0, &h.window(), [&h] {
            QCoreApplication::postEvent(h.window().windowHandle(), new QCloseEvent);
            h.save(h.path(QStringLiteral("out.bin")));
        });
        QTimer stuck;
        stuck.setSingleShot(true);
        connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stuck.start(10000);
        const int status = QCoreApplication::exec();
        stuck.stop();
        h.window().removeEventFilter(&watch);
        // Save went on to its dialog and the write; then the window closed
        // and the program ended.
        QCOMPARE(status, 0);
        QCOMPARE(watch.hiddenWhileSaving, 0);
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), original);
        QVERIFY(!h.window().isVisible());
        QVERIFY2(h.unexpected().isEmpty(), qPrintable(h.unexpected().join(QLatin1Char('|'))));
    }
    // A value the module cannot store, typed as a technician would, is
    // refused by name; the module and its file stay as they were.
    void saveRefusesValuesTheModuleCannotStore_data()
    {
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cell");
        QTest::newRow("capacity not converted") << false << QStringLiteral("LBA33") << QStringLiteral("2000G")
                                                << QStringLiteral("Alt 2, row 3, \"2000G\"");
        QTest::newRow("trailing blank") << true << QStringLiteral("LBA12") << QStringLiteral("123 ")
                                        << QStringLiteral("Main, row 2, \"123 \"");
        QTest::newRow("3T in STD") << false << QStringLiteral("LBA44") << QStringLiteral("3T\r")
                                   << QStringLiteral("Alt 3, row 4, \"5860533168\"");
        QTest::newRow("negative") << true << QStringLiteral("LBA61") << QStringLiteral("-5")
                                  << QStringLiteral("Alt 5, row 1, \"-5\"");
        QTest::newRow("Main all zero") << false << QStringLiteral("LBA11") << QStringLiteral("0")
                                       << QStringLiteral("would read as NEW");
    }

    void saveRefusesValuesTheModuleCannotStore()
    {
        QFETCH(bool, isNew);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, cell);
        EditorHarness h;
        const auto original = ModuleBytes(ModuleBuilder().rows(4).newLayout(isNew).badChecksum());
        const QString file = h.writeModule(QStringLiteral("m.bin"), original);
        h.load(file);
        const auto image = h.module().image.bytes();
        if (cell.startsWith(QStringLiteral("would"))) {
            for (int r = 1; r <= 4; ++r)
                h.field(Field("LBA", 1, r))->setText(QStringLiteral("0"));
        }
        h.field(field)->clear();
        for (QChar c : typed) {
            if (c == QLatin1Char('\r'))
                h.pressEnter(field);
            else
                h.type(field, QString(c));
        }
        h.click("btSave");
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("Save refused")) && boxes[0].contains(cell), qPrintable(boxes[0]));
        QCOMPARE(h.module().image.bytes(), image);
        QCOMPARE(h.readFile(QStringLiteral("m.bin")), original);
        QVERIFY2(h.unexpected().isEmpty(), qPrintable(h.unexpected().join(QLatin1Char('|'))));
    }
};

ZENTAB_WINDOW_TEST(LoadSaveTest)
#include "load_save_test.moc"
