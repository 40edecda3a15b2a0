// The settings file of standard capacities: the reader on its own, and the
// list and clipboard of cbStdCapacity that it feeds.

#include "editor_harness.h"
#include "window_test_registry.h"

#include "profile_reader.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

using zentab::ProfileReader;

namespace {

QStringList Keys(const ProfileReader& reader, const QByteArray& section)
{
    QStringList keys;
    for (const std::string& key : reader.sectionKeys(section.toStdString()))
        keys << QString::fromLatin1(key.data(), qsizetype(key.size()));
    return keys;
}

QByteArray Value(const ProfileReader& reader, const QByteArray& section, const QByteArray& key)
{
    return QByteArray::fromStdString(reader.value(section.toStdString(), key.toStdString()));
}

// Key names of a given length, distinct in their first characters.
QByteArray LongKey(int index, int length) { return QByteArray::number(1000 + index).leftJustified(length, 'k'); }

QByteArray LongKeySection(int count, const QList<int>& lengths)
{
    QByteArray text = "[CAPACITY]\n";
    for (int i = 0; i < count; ++i)
        text += LongKey(i, lengths.value(i, lengths.last())) + "=" + QByteArray::number(i) + "\n";
    return text;
}

const char kPrompt[] = "Copy Std Capacity";

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QFile existing(settingsPath());
        if (existing.open(QIODevice::ReadOnly)) {
            kept_ = existing.readAll();
            hadFile_ = true;
        }
    }

    void cleanup() { QFile::remove(settingsPath()); }

    void cleanupTestCase()
    {
        if (hadFile_)
            writeSettings(kept_);
    }

    void readerKeysAndValues_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");

        QTest::newRow("file order, spelled as in the file")
            << QByteArray("[CAPACITY]\n2000GB=1\n80gb=2\nZeta=3\nalpha=4\n") << QByteArray("CAPACITY")
            << QStringList{"2000GB", "80gb", "Zeta", "alpha"} << QByteArray("zETA") << QByteArray("3");
        QTest::newRow("section name in any case")
            << QByteArray("[Capacity]\nA=1\n") << QByteArray("cApAcItY") << QStringList{"A"} << QByteArray("a")
            << QByteArray("1");
        QTest::newRow("double quotes dropped")
            << QByteArray("[CAPACITY]\nK=\"3907029168\"\n") << QByteArray("CAPACITY") << QStringList{"K"}
            << QByteArray("K") << QByteArray("3907029168");
        QTest::newRow("single quotes dropped, inner blanks kept")
            << QByteArray("[CAPACITY]\nK=' a b '\n") << QByteArray("CAPACITY") << QStringList{"K"} << QByteArray("K")
            << QByteArray(" a b ");
        QTest::newRow("only one pair of quotes dropped")
            << QByteArray("[CAPACITY]\nK=\"\"x\"\"\n") << QByteArray("CAPACITY") << QStringList{"K"}
            << QByteArray("K") << QByteArray("\"x\"");
        QTest::newRow("unmatched quotes kept")
            << QByteArray("[CAPACITY]\nK=\"abc'\n") << QByteArray("CAPACITY") << QStringList{"K"} << QByteArray("K")
            << QByteArray("\"abc'");
        QTest::newRow("lone quote kept")
            << QByteArray("[CAPACITY]\nK=\"\n") << QByteArray("CAPACITY") << QStringList{"K"} << QByteArray("K")
            << QByteArray("\"");
        QTest::newRow("blanks around key and value dropped")
            << QByteArray("  [CAPACITY]  \n \t 500GB \t=  \t976773168 with  blanks \t \n") << QByteArray("CAPACITY")
            << QStringList{"500GB"} << QByteArray("500gb") << QByteArray("976773168 with  blanks");
        QTest::newRow("comment lines")
            << QByteArray("[CAPACITY]\n;A=1\n#B=2\n  ;C=3\nD=4;5#6\n") << QByteArray("CAPACITY") << QStringList{"D"}
            << QByteArray("D") << QByteArray("4;5#6");
        QTest::newRow("lines without '=' and empty keys")
            << QByteArray("[CAPACITY]\njunk\nK=1\n=2\n \t=3\nL=\n") << QByteArray("CAPACITY")
            << QStringList{"K", "L"} << QByteArray("junk") << QByteArray();
        QTest::newRow("value with '=' in it")
            << QByteArray("[CAPACITY]\nK=a=b\n") << QByteArray("CAPACITY") << QStringList{"K"} << QByteArray("K")
            << QByteArray("a=b");
        QTest::newRow("repeated key: listed once, first value wins")
            << QByteArray("[CAPACITY]\nK=1\nL=2\nk=3\nK=4\n") << QByteArray("CAPACITY") << QStringList{"K", "L"}
            << QByteArray("K") << QByteArray("1");
        QTest::newRow("repeated section reads as one")
            << QByteArray("[CAPACITY]\nA=1\n[OTHER]\nB=2\n[capacity]\nC=3\nA=9\n") << QByteArray("CAPACITY")
            << QStringList{"A", "C"} << QByteArray("A") << QByteArray("1");
        QTest::newRow("other section's keys not seen")
            << QByteArray("[CAPACITY]\nA=1\n[OTHER]\nB=2\n") << QByteArray("CAPACITY") << QStringList{"A"}
            << QByteArray("B") << QByteArray();
        QTest::newRow("entries before any section belong to none")
            << QByteArray("K=1\n[CAPACITY]\nL=2\n") << QByteArray("CAPACITY") << QStringList{"L"} << QByteArray("K")
            << QByteArray();
        QTest::newRow("missing section")
            << QByteArray("[OTHER]\nK=1\n") << QByteArray("CAPACITY") << QStringList{} << QByteArray("K")
            << QByteArray();
        QTest::newRow("CRLF line ends")
            << QByteArray("[CAPACITY]\r\n500GB=976773168\r\n2000GB=3907029168\r\n") << QByteArray("CAPACITY")
            << QStringList{"500GB", "2000GB"} << QByteArray("500GB") << QByteArray("976773168");
        QTest::newRow("no line end at the end")
            << QByteArray("[CAPACITY]\nK=last") << QByteArray("CAPACITY") << QStringList{"K"} << QByteArray("K")
            << QByteArray("last");
        QTest::newRow("empty text") << QByteArray() << QByteArray("CAPACITY") << QStringList{} << QByteArray("K")
                                    << QByteArray();
        QTest::newRow("value of 3000 characters cut to 2047")
            << "[CAPACITY]\nK=" + QByteArray(3000, 'v') + "\n" << QByteArray("CAPACITY") << QStringList{"K"}
            << QByteArray("K") << QByteArray(2047, 'v');
        QTest::newRow("value of 2047 characters whole")
            << "[CAPACITY]\nK=" + QByteArray(2047, 'v') + "\n" << QByteArray("CAPACITY") << QStringList{"K"}
            << QByteArray("K") << QByteArray(2047, 'v');

        // Key list area of 16384 bytes: names and their zeros fill at most 16382.
        // Sixteen names of 1000 use 16016 bytes, leaving 366 for the next one.
        QStringList cut;
        for (int i = 0; i < 16; ++i)
            cut << QString::fromLatin1(LongKey(i, 1000));
        QTest::newRow("key list cut inside a name")
            << LongKeySection(18, {1000}) << QByteArray("CAPACITY")
            << cut + QStringList{QString::fromLatin1(LongKey(16, 366))} << QByteArray() << QByteArray();
        QList<int> exact(16, 1000);
        exact << 366 << 1;
        QTest::newRow("name ending at the limit is whole, later ones dropped")
            << LongKeySection(18, exact) << QByteArray("CAPACITY")
            << cut + QStringList{QString::fromLatin1(LongKey(16, 366))} << QByteArray() << QByteArray();
        QList<int> short1(16, 1000);
        short1 << 365 << 1;
        QTest::newRow("no room for one more name")
            << LongKeySection(18, short1) << QByteArray("CAPACITY")
            << cut + QStringList{QString::fromLatin1(LongKey(16, 365))} << QByteArray() << QByteArray();
        QStringList repeated{QString::fromLatin1(LongKey(0, 1000))};
        QTest::newRow("repeated keys take no room")
            << "[CAPACITY]\n" + (LongKey(0, 1000) + "=1\n").repeated(40) + "Z=2\n" << QByteArray("CAPACITY")
            << repeated + QStringList{"Z"} << QByteArray("Z") << QByteArray("2");
    }

    void readerKeysAndValues()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, section);
        QFETCH(QStringList, keys);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        const ProfileReader reader = ProfileReader::FromText(text.toStdString());
        QCOMPARE(Keys(reader, section), keys);
        if (!key.isEmpty())
            QCOMPARE(Value(reader, section, key), value);
        // A key the section does not hold reads as empty.
        QCOMPARE(Value(reader, section, "no such key"), QByteArray());
    }

    void readerOfAMissingFileIsEmpty()
    {
        const QString missing = QDir::temp().filePath(QStringLiteral("no-such-dir/none.ini"));
        const ProfileReader reader = ProfileReader::FromFile(missing.toStdString());
        QVERIFY(reader.sectionKeys("CAPACITY").empty());
        QVERIFY(reader.value("CAPACITY", "500GB").empty());
    }

    void listHoldsTheKeysInFileOrder()
    {
        writeSettings(exampleSettings());
        EditorHarness h;
        QComboBox* box = capacityBox(h);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, (QStringList{"500GB", "2000GB", "1000gb", "80GB"}));
        QCOMPARE(box->currentText(), QLatin1String(kPrompt));
        QVERIFY(h.takeBoxes().isEmpty());
    }

    void pickingAnEntryCopiesItsValue_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("copied");
        QTest::newRow("2000GB") << "2000GB" << "3907029168";
        QTest::newRow("quoted value") << "1000gb" << "1953525168";
        QTest::newRow("blanks around the value") << "80GB" << "156301488";
    }

    void pickingAnEntryCopiesItsValue()
    {
        QFETCH(QString, entry);
        QFETCH(QString, copied);
        writeSettings(exampleSettings());
        EditorHarness h;
        QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
        pick(capacityBox(h), entry);
        QCOMPARE(capacityBox(h)->currentText(), entry);
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }

    void typingAKeyInAnyCaseCopiesItsValue()
    {
        writeSettings(exampleSettings());
        EditorHarness h;
        QLineEdit* edit = capacityBox(h)->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QStringList clips;
        for (QChar c : QStringLiteral("2000gb")) {
            QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
            QTest::keyClicks(edit, QString(c));
            clips << QGuiApplication::clipboard()->text();
        }
        QCOMPARE(clips.last(), QStringLiteral("3907029168"));
        // Texts that are not keys yet put empty text on the clipboard.
        QCOMPARE(clips.mid(0, 5), QStringList(5, QString()));
        QVERIFY(h.takeBoxes().isEmpty());
    }

    void changedValueCountsAtTheNextChange()
    {
        writeSettings(exampleSettings());
        EditorHarness h;
        QComboBox* box = capacityBox(h);
        pick(box, QStringLiteral("2000GB"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("3907029168"));

        writeSettings("[CAPACITY]\n500GB=1\n2000GB=4000000000\n1000gb=3\n80GB=4\n4000GB=7814037168\n");
        pick(box, QStringLiteral("500GB"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1"));
        pick(box, QStringLiteral("2000GB"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4000000000"));
        // The list itself is read once, at start-up.
        QCOMPARE(box->count(), 4);
    }

    void withoutSettingsFileTheListIsEmpty()
    {
        QFile::remove(settingsPath());
        EditorHarness h;
        QComboBox* box = capacityBox(h);
        QCOMPARE(box->count(), 0);
        QCOMPARE(box->currentText(), QLatin1String(kPrompt));
        QLineEdit* edit = box->lineEdit();
        edit->setFocus();
        for (QChar c : QStringLiteral("2000GB")) {
            QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
            QTest::keyClicks(edit, QString(c));
            QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        }
        QVERIFY(h.takeBoxes().isEmpty());
    }

private:
    static QString settingsPath() { return QDir(QCoreApplication::applicationDirPath()).filePath("ZentabEditor.ini"); }

    static void writeSettings(const QByteArray& text)
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(text), text.size());
    }

    static QByteArray exampleSettings()
    {
        return "; standard capacities\r\n[OTHER]\r\nX=1\r\n[CAPACITY]\r\n500GB=976773168\r\n2000GB=3907029168\r\n"
               "1000gb=\"1953525168\"\r\n  80GB  =  156301488  \r\n[NEXT]\r\nY=2\r\n";
    }

    static QComboBox* capacityBox(EditorHarness& h) { return h.find<QComboBox>(QStringLiteral("cbStdCapacity")); }

    // Picks an entry from the open drop-down list with the keyboard.
    static void pick(QComboBox* box, const QString& entry)
    {
        const int index = box->findText(entry, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        QVERIFY2(index >= 0, qPrintable(entry));
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        view->setCurrentIndex(view->model()->index(index, box->modelColumn()));
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
    }

    QByteArray kept_;
    bool hadFile_ = false;
};

ZENTAB_WINDOW_TEST(SettingsTest)
#include "settings_test.moc"
