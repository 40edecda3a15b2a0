// A file dropped on the window: loaded as Load would load it, and nothing
// else that is dropped changes anything.

#include "editor_harness.h"
#include "file_paths.h"
#include "window_test_registry.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using zentab::testkit::ModuleBuilder;

namespace {

// What a Load leaves behind, to compare a drop with the Load it replaces.
struct LoadOutcome {
    QString title;
    QString layout;
    QStringList fields;
    QStringList boxes;
    bool saveEnabled = false;
    bool autoEnabled = false;
    std::vector<std::uint8_t> image;
};

LoadOutcome Outcome(EditorHarness& h)
{
    LoadOutcome outcome;
    outcome.title = h.window().windowTitle();
    outcome.layout = h.labelText(QStringLiteral("laFormat"));
    for (int f = 1; f <= zentab::kFormats; ++f) {
        for (int r = 1; r <= zentab::kShownRows; ++r) {
            for (const char* kind : {"Mdl", "LBA"}) {
                QLineEdit* field = h.field(Field(kind, f, r));
                outcome.fields << field->text() + (field->isEnabled() ? QStringLiteral("+") : QStringLiteral("-"));
            }
        }
    }
    // Each harness has its own folder, which the messages name.
    const QString folder = QFileInfo(h.path(QStringLiteral("m.bin"))).absolutePath();
    for (QString box : h.takeBoxes())
        outcome.boxes << box.replace(folder, QStringLiteral("<folder>"));
    outcome.saveEnabled = h.find<QPushButton>(QStringLiteral("btSave"))->isEnabled();
    outcome.autoEnabled = h.find<QPushButton>(QStringLiteral("btAuto"))->isEnabled();
    outcome.image = h.module().image.bytes();
    return outcome;
}

// Drags the data over the window and lets go; true when the window took it.
bool Drop(TfmZentabEditor& window, QMimeData* data)
{
    const QPointF at(600, 640);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    // The window loads once the drop is over.
    QTest::qWait(30);
    return enter.isAccepted() && drop.isAccepted();
}

QMimeData* Urls(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

}  // namespace

class DropTest : public QObject {
    Q_OBJECT
private slots:
    void droppedFileRunsLoadsSteps_data()
    {
        QTest::addColumn<QByteArray>("module");  // empty: the file is missing
        QTest::newRow("ROYL NEW 10") << QByteArray("royl-new");
        QTest::newRow("legacy STD 3") << QByteArray("legacy-std");
        QTest::newRow("not a model list") << QByteArray("other-id");
        QTest::newRow("truncated") << QByteArray("truncated");
        QTest::newRow("missing file") << QByteArray();
    }

    // The same steps in the same order as Load after its dialog: each kind of
    // file leaves the window exactly as a Load of it does, after a first
    // module was shown (so clearing is seen too).
    void droppedFileRunsLoadsSteps()
    {
        QFETCH(QByteArray, module);
        std::vector<std::uint8_t> bytes;
        if (module == "royl-new")
            bytes = ModuleBytes(ModuleBuilder().rows(10).newLayout());
        else if (module == "legacy-std")
            bytes = ModuleBytes(ModuleBuilder().legacy().rows(3));
        else if (module == "other-id")
            bytes = ModuleBytes(ModuleBuilder().moduleId(13));
        else if (module == "truncated") {
            const auto built = ModuleBuilder().build();
            bytes = built.bytes;
            bytes.resize(built.blockOffset[7] + 2);  // inside the values of Alt 1
        }
        LoadOutcome outcomes[2];
        for (int viaDrop = 0; viaDrop < 2; ++viaDrop) {
            EditorHarness h;
            h.load(h.writeModule(QStringLiteral("first.bin"), ModuleBytes(ModuleBuilder().rows(6))));
            h.takeBoxes();
            const QString file = h.writeModule(QStringLiteral("m.bin"), bytes);
            // A missing file: gone between the choice and the read (the open
            // dialog takes only a file that exists).
            if (viaDrop) {
                if (module.isEmpty())
                    QFile::remove(file);
                QVERIFY(Drop(h.window(), Urls({QUrl::fromLocalFile(file)})));
            } else {
                if (module.isEmpty()) {
                    connect(h.window().openDialog(), &QDialog::accepted, this, [file] { QFile::remove(file); },
                            Qt::SingleShotConnection);
                }
                h.load(file);
            }
            outcomes[viaDrop] = Outcome(h);
            QVERIFY2(h.unexpected().isEmpty(), qPrintable(h.unexpected().join(QLatin1Char('|'))));
        }
        QCOMPARE(outcomes[1].title, outcomes[0].title);
        QCOMPARE(outcomes[1].layout, outcomes[0].layout);
        QCOMPARE(outcomes[1].fields, outcomes[0].fields);
        QCOMPARE(outcomes[1].boxes, outcomes[0].boxes);
        QCOMPARE(outcomes[1].saveEnabled, outcomes[0].saveEnabled);
        QCOMPARE(outcomes[1].autoEnabled, outcomes[0].autoEnabled);
        QCOMPARE(outcomes[1].image, outcomes[0].image);
    }

    void saveProposesTheDroppedFile()
    {
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("first.bin"), ModuleBytes(ModuleBuilder())));
        const QString dropped = h.writeModule(QStringLiteral("dropped.bin"), ModuleBytes(ModuleBuilder().rows(3)));
        QVERIFY(Drop(h.window(), Urls({QUrl::fromLocalFile(dropped)})));
        h.save(QString());  // cancelled: the dialog keeps what it proposed
        QCOMPARE(h.window().SaveDialog1->selectedFiles().value(0), dropped);
        QVERIFY(h.unexpected().isEmpty());
    }

    // "ZentabEditor FILE", as a file manager starts it: the module in a
    // Cyrillic folder loads as a Load of it does and Save proposes it; what
    // else was given is named; a missing file gets Load's error and the
    // window stays usable.
    void commandLineOpensItsFileAsADrop()
    {
        const auto bytes = ModuleBytes(ModuleBuilder().rows(7).newLayout());
        LoadOutcome loaded;
        {
            EditorHarness byLoad;  // alone: a harness answers every box that shows
            byLoad.load(byLoad.writeModule(QStringLiteral("m.bin"), bytes));
            loaded = Outcome(byLoad);
        }
        EditorHarness h;
        QVERIFY(QDir(h.path(QString())).mkdir(QStringLiteral("модули")));
        const QString file = h.writeModule(QStringLiteral("модули/m.bin"), bytes);
        h.window().openWhenShown({ToFilePath(file), "--fullscreen"});
        QTest::qWait(30);
        const LoadOutcome opened = Outcome(h);
        QCOMPARE(opened.title, loaded.title);
        QCOMPARE(opened.fields, loaded.fields);
        QCOMPARE(opened.image, loaded.image);
        QCOMPARE(opened.boxes.size(), 1);
        QVERIFY2(opened.boxes[0].endsWith(QStringLiteral("\n--fullscreen")), qPrintable(opened.boxes[0]));
        h.save(QString());
        QCOMPARE(h.window().SaveDialog1->selectedFiles().value(0), file);

        const QString missing = h.path(QStringLiteral("модули/нет.bin"));
        h.window().openWhenShown({ToFilePath(missing)});
        QTest::qWait(30);
        const QStringList boxes = h.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains(QStringLiteral("нет.bin")), qPrintable(boxes[0]));
        QVERIFY(h.find<QPushButton>(QStringLiteral("btLoad"))->isEnabled());
        QVERIFY(h.unexpected().isEmpty());
    }

    void otherDropsChangeNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("two files") << QStringLiteral("two");
        QTest::newRow("remote URL") << QStringLiteral("remote");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("plain text") << QStringLiteral("text");
    }

    void otherDropsChangeNothing()
    {
        QFETCH(QString, kind);
        EditorHarness h;
        const QString shown = h.writeModule(QStringLiteral("shown.bin"), ModuleBytes(ModuleBuilder().rows(5)));
        const QString other = h.writeModule(QStringLiteral("other.bin"), ModuleBytes(ModuleBuilder().rows(2)));
        h.load(shown);
        const LoadOutcome before = Outcome(h);
        QMimeData* data = nullptr;
        if (kind == QLatin1String("two"))
            data = Urls({QUrl::fromLocalFile(other), QUrl::fromLocalFile(shown)});
        else if (kind == QLatin1String("remote"))
            data = Urls({QUrl(QStringLiteral("https://example.com/other.bin"))});
        else if (kind == QLatin1String("folder"))
            data = Urls({QUrl::fromLocalFile(h.path(QString()))});
        else {
            data = new QMimeData;
            data->setText(QUrl::fromLocalFile(other).toString());
        }
        const std::unique_ptr<QMimeData> owned(data);
        QVERIFY(!Drop(h.window(), data));
        const LoadOutcome after = Outcome(h);
        QCOMPARE(after.title, before.title);
        QCOMPARE(after.fields, before.fields);
        QCOMPARE(after.image, before.image);
        QVERIFY(after.boxes.isEmpty());
    }

    // A field that took drops would put a file's URL among its digits.
    void noFieldTakesDroppedText()
    {
        EditorHarness h;
        QVERIFY(h.window().acceptDrops());
        const QList<QLineEdit*> edits = h.window().findChildren<QLineEdit*>();
        QCOMPARE(edits.size(), 2 * 60 + 4);  // the grid, edModel, edDivider, edAligned, the combo's edit
        for (QLineEdit* edit : edits)
            QVERIFY2(!edit->acceptDrops(), qPrintable(edit->objectName()));
        QVERIFY(!h.find<QComboBox>(QStringLiteral("cbStdCapacity"))->acceptDrops());
    }

    void dropWhileSaveRunsIsIgnored()
    {
        EditorHarness h;
        const auto original = ModuleBytes(ModuleBuilder().legacy().rows(3));
        h.load(h.writeModule(QStringLiteral("m.bin"), original));
        const QString other = h.writeModule(QStringLiteral("other.bin"), ModuleBytes(ModuleBuilder().rows(7)));
        bool taken = true;
        // Delivered while Save's checksum lets pending events run.
        QMetaObject::invokeMethod(
            this,
            [&] {
                const std::unique_ptr<QMimeData> data(Urls({QUrl::fromLocalFile(other)}));
                taken = Drop(h.window(), data.get());
            },
            Qt::QueuedConnection);
        h.save(h.path(QStringLiteral("out.bin")));
        QTest::qWait(30);
        QVERIFY(!taken);
        QCOMPARE(h.readFile(QStringLiteral("out.bin")), original);
        QCOMPARE(h.module().image.bytes(), original);
        QVERIFY(h.window().windowTitle().endsWith(QStringLiteral("m.bin")));
        QVERIFY2(h.unexpected().isEmpty(), qPrintable(h.unexpected().join(QLatin1Char('|'))));
    }
};

ZENTAB_WINDOW_TEST(DropTest)
#include "drop_test.moc"
