// Whatever file the dialog shows, Load answers with a message or a refusal
// and leaves the window usable: the next Load of a good module works.

#include "editor_harness.h"
#include "window_test_registry.h"

#include <QFile>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

using zentab::testkit::ModuleBuilder;

class HostileFilesTest : public QObject {
    Q_OBJECT
private slots:
    void loadAnswersEveryFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");  // start of the one box expected; empty for none
        const auto bytes = [](const ModuleBuilder& b) {
            const auto v = b.build().bytes;
            return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
        };
        QTest::newRow("zero bytes") << QByteArray() << QStringLiteral("Stream read error.");
        QTest::newRow("3 bytes") << QByteArray("ROY") << QStringLiteral("Stream read error.");
        QTest::newRow("ROYL header cut at 51 bytes") << bytes(ModuleBuilder()).left(51)
                                                     << QStringLiteral("Stream read error.");
        QTest::newRow("255 directory entries") << bytes(ModuleBuilder().entryCount(255)) << QString();
        QTest::newRow("name block near 2^32") << bytes(ModuleBuilder().entry(0, 0xFFFFFFF0u, 0xFFFFFFF8u))
                                              << QStringLiteral("Stream read error.");
        QTest::newRow("value block near 2^32") << bytes(ModuleBuilder().entry(6, 0xFFFFFFFCu, 16))
                                               << QStringLiteral("Stream read error.");
        // Shown; Save is where such a module is refused.
        QTest::newRow("name block overlapping the header") << bytes(ModuleBuilder().entry(2, 8, 96)) << QString();
        QTest::newRow("NEW marker as the last 8 bytes")
            << bytes(ModuleBuilder().newLayout().withMarker(false)) + QByteArray("    \0\0\0\0", 8)
            << QStringLiteral("Stream read error.");
    }

    void loadAnswersEveryFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        EditorHarness h;
        const QString file = h.writeModule(QStringLiteral("hostile.bin"),
                                           std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        h.load(file);
        const QStringList boxes = h.takeBoxes();
        if (message.isEmpty()) {
            QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('|'))));
        } else {
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].startsWith(message), qPrintable(boxes[0]));
        }
        expectUsable(h);
    }

    // Neither is read: one is too large, the other would block until written to.
    void oversizedFileAndPipeAreRefusedBeforeReading()
    {
        EditorHarness h;
        const QString big = h.path(QStringLiteral("disk.img"));
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(257) << 20));  // sparse: costs no disk
        file.close();
        const QString fifo = h.path(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const auto& [path, message] : {std::pair{big, "larger than 256 MiB"}, {fifo, "Cannot open file"}}) {
            h.load(path);
            const QStringList boxes = h.takeBoxes();
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].contains(QLatin1String(message)), qPrintable(boxes[0]));
            QCOMPARE(h.module().image.size(), 0);
            expectUsable(h);
        }
    }

private:
    // After any failure the next Load of a good module shows it, and Save works.
    static void expectUsable(EditorHarness& h)
    {
        const auto good = ModuleBuilder().rows(2).build().bytes;
        h.load(h.writeModule(QStringLiteral("good.bin"), good));
        QVERIFY(h.takeBoxes().isEmpty());
        QCOMPARE(h.text(QStringLiteral("Mdl12")), QString::fromStdString(ModuleBuilder::defaultName(2, 1)));
        QVERIFY(h.field(QStringLiteral("LBA62"))->isEnabled());
        h.save(h.path(QStringLiteral("good-out.bin")));
        QCOMPARE(h.readFile(QStringLiteral("good-out.bin")), good);
        QVERIFY(h.unexpected().isEmpty());
    }
};

ZENTAB_WINDOW_TEST(HostileFilesTest)
#include "hostile_files_test.moc"
