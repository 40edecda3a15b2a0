// The settings file of standard capacities: the reader on its own, and the
// list and clipboard of cbStdCapacity that it feeds.

#include "editor_harness.h"
#include "window_test_registry.h"

#include "profile_reader.h"
#include "system_text.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

#include <sys/stat.h>

using zentab::ProfileReader;

namespace {

QStringList Keys(const ProfileReader& reader, const QByteArray& section)
{
    QStringList keys;
    for (const std::string& key : reader.sectionKeys(section.toStdString()))
        keys << QString::fromStdString(zentab::SystemTextToUtf8(key));
    return keys;
}

QByteArray Value(const ProfileReader& reader, const QByteArray& section, const QByteArray& key)
{
    return QByteArray::fromStdString(reader.value(section.toStdString(), key.toStdString()));
}

// Text saved as UTF-16, with its byte-order mark.
QByteArray Utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? QByteArray{&high, 1} + low : QByteArray{&low, 1} + high;
    }
    return bytes;
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
        QTest::addColumn<QByteArray>("key");  // empty: no value to check
        QTest::addColumn<QByteArray>("value");
        const auto row = [](const char* name, const QByteArray& text, const QStringList& keys, const QByteArray& key,
                            const QByteArray& value, const QByteArray& section = "CAPACITY") {
            QTest::newRow(name) << text << section << keys << key << value;
        };
        row("file order, spelled as in the file", "[CAPACITY]\n2000GB=1\n80gb=2\nZeta=3\nalpha=4\n",
            {"2000GB", "80gb", "Zeta", "alpha"}, "zETA", "3");
        row("section name in any case", "[Capacity]\nA=1\n", {"A"}, "a", "1", "cApAcItY");
        row("double quotes dropped", "[CAPACITY]\nK=\"3907029168\"\n", {"K"}, "K", "3907029168");
        row("single quotes dropped, inner blanks kept", "[CAPACITY]\nK=' a b '\n", {"K"}, "K", " a b ");
        row("only one pair of quotes dropped", "[CAPACITY]\nK=\"\"x\"\"\n", {"K"}, "K", "\"x\"");
        row("unmatched quotes kept", "[CAPACITY]\nK=\"abc'\n", {"K"}, "K", "\"abc'");
        row("lone quote kept", "[CAPACITY]\nK=\"\n", {"K"}, "K", "\"");
        row("blanks around key and value dropped", "  [CAPACITY]  \n \t 500GB \t=  \t976773168 with  blanks \t \n",
            {"500GB"}, "500gb", "976773168 with  blanks");
        row("comment lines", "[CAPACITY]\n;A=1\n#B=2\n  ;C=3\nD=4;5#6\n", {"D"}, "D", "4;5#6");
        row("lines without '=' and empty keys", "[CAPACITY]\njunk\nK=1\n=2\n \t=3\nL=\n", {"K", "L"}, "junk", "");
        row("value with '=' in it", "[CAPACITY]\nK=a=b\n", {"K"}, "K", "a=b");
        row("repeated key: listed once, first value wins", "[CAPACITY]\nK=1\nL=2\nk=3\nK=4\n", {"K", "L"}, "K", "1");
        row("repeated section reads as one", "[CAPACITY]\nA=1\n[OTHER]\nB=2\n[capacity]\nC=3\nA=9\n", {"A", "C"},
            "A", "1");
        row("other section's keys not seen", "[CAPACITY]\nA=1\n[OTHER]\nB=2\n", {"A"}, "B", "");
        row("entries before any section belong to none", "K=1\n[CAPACITY]\nL=2\n", {"L"}, "K", "");
        row("missing section", "[OTHER]\nK=1\n", {}, "K", "");
        row("CRLF line ends", "[CAPACITY]\r\n500GB=976773168\r\n2000GB=3907029168\r\n", {"500GB", "2000GB"}, "500GB",
            "976773168");
        row("no line end at the end", "[CAPACITY]\nK=last", {"K"}, "K", "last");
        row("empty text", "", {}, "K", "");
        row("byte-order mark before the section", "\xEF\xBB\xBF[CAPACITY]\nK=1\n", {"K"}, "K", "1");
        const QString unicode = QStringLiteral("[capacity]\r\n2000\u0413\u0411=1\r\nK=\u00B2\r\n");
        row("UTF-16 LE with its mark", Utf16(unicode, false), {"2000\u0413\u0411", "K"}, "2000\xD0\xB3\xD0\xB1", "1");
        row("UTF-16 BE with its mark", Utf16(unicode, true), {"2000\u0413\u0411", "K"}, "k", "\xC2\xB2");
        row("UTF-16 without a mark reads as 8-bit text", Utf16(unicode, false).mid(2), {}, "K", "");
        row("UTF-16 cut after an odd byte", Utf16(unicode, false).chopped(3), {"2000\u0413\u0411", "K"}, "K",
            "\xC2\xB2\xEF\xBF\xBD");
        row("letters of any script in any case", "[CAPACITY]\n\xC3\x84\xCE\xA3\xD0\x96=1\n\xC3\xA4\xCF\x82\xD0\xB6=2\n",
            {"\u00C4\u03A3\u0416"}, "\xC3\xA4\xCF\x83\xD0\xB6", "1");
        static const char binary[] = "\x00\xFF[CAPACITY]\x00\n\x80\x81=\x00\n[CAPACITY]\n\xC4=\xE4\n";
        row("binary data", QByteArray(binary, sizeof binary - 1),
            {"\u00C4"}, "\xE4", "\xE4");
        row("value of 3000 characters cut to 2047", "[CAPACITY]\nK=" + QByteArray(3000, 'v') + "\n", {"K"}, "K",
            QByteArray(2047, 'v'));
        row("value of 2047 characters whole", "[CAPACITY]\nK=" + QByteArray(2047, 'v') + "\n", {"K"}, "K",
            QByteArray(2047, 'v'));

        // Key list area of 16384 bytes: names and their zeros fill at most 16382.
        // Sixteen names of 1000 use 16016 bytes, leaving 366 for the next one.
        QStringList sixteen;
        for (int i = 0; i < 16; ++i)
            sixteen << QString::fromLatin1(LongKey(i, 1000));
        const QList<int> thousands(16, 1000);
        const QStringList cut = sixteen + QStringList{QString::fromLatin1(LongKey(16, 366))};
        row("key list cut inside a name", LongKeySection(18, {1000}), cut, "", "");
        row("name ending at the limit is whole, later ones dropped", LongKeySection(18, thousands + QList{366, 1}),
            cut, "", "");
        row("no room for one more name", LongKeySection(18, thousands + QList{365, 1}),
            sixteen + QStringList{QString::fromLatin1(LongKey(16, 365))}, "", "");
        row("repeated keys take no room", "[CAPACITY]\n" + (LongKey(0, 1000) + "=1\n").repeated(40) + "Z=2\n",
            {QString::fromLatin1(LongKey(0, 1000)), "Z"}, "Z", "2");
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

    void listHoldsTheKeysInFileOrderAndPickingCopiesTheValue()
    {
        writeSettings(exampleSettings());
        EditorHarness h;
        QComboBox* box = capacityBox(h);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, (QStringList{"500GB", "2000GB", "1000gb", "80GB"}));
        QCOMPARE(box->currentText(), QLatin1String(kPrompt));
        // Plain, quoted, and with blanks around the value.
        for (const auto& [entry, copied] :
             {std::pair{"2000GB", "3907029168"}, {"1000gb", "1953525168"}, {"80GB", "156301488"}}) {
            QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
            pick(box, QString::fromLatin1(entry));
            QCOMPARE(box->currentText(), QString::fromLatin1(entry));
            QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(copied));
        }
        QVERIFY(h.takeBoxes().isEmpty());
    }

    // Keys in 8-bit text (Latin-1 where the locale names no other charset)
    // and in UTF-8, after a byte-order mark, or in UTF-16, show readably and
    // copy.
    void keysInAnyTextShowReadablyAndCopyTheirValue_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("8-bit and UTF-8") << QByteArray("\xEF\xBB\xBF[CAPACITY]\r\n2000\xC4\xD6=1\r\n4000\xD0\x93\xD0\x91=\xB2\r\n");
        QTest::newRow("UTF-16") << Utf16(QStringLiteral("[CAPACITY]\r\n2000\u00C4\u00D6=1\r\n4000\u0413\u0411=\u00B2\r\n"), false);
    }

    void keysInAnyTextShowReadablyAndCopyTheirValue()
    {
        QFETCH(QByteArray, text);
        writeSettings(text);
        EditorHarness h;
        QComboBox* box = capacityBox(h);
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(0), QStringLiteral("2000\u00C4\u00D6"));
        QCOMPARE(box->itemText(1), QStringLiteral("4000\u0413\u0411"));
        pick(box, box->itemText(0));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1"));
        pick(box, box->itemText(1));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\u00B2"));
    }

    // Each pick replaces the clipboard, also a pick of the entry already
    // shown (its text does not change), and a pick copies once.
    void everyPickCopiesOnce()
    {
        writeSettings(exampleSettings());
        EditorHarness h;
        QComboBox* box = capacityBox(h);
        QClipboard* clipboard = QGuiApplication::clipboard();
        int copies = 0;
        const QMetaObject::Connection counting = connect(clipboard, &QClipboard::dataChanged, this, [&] { ++copies; });
        for (const char* entry : {"2000GB", "2000GB", "80GB", "80GB"}) {
            clipboard->setText(QStringLiteral("stale"));
            copies = 0;
            pick(box, QString::fromLatin1(entry));
            QCOMPARE(clipboard->text(), QString::fromLatin1(entry == QByteArray("80GB") ? "156301488" : "3907029168"));
            QTest::qWait(10);
            QCOMPARE(copies, 1);
        }
        // After typing the key, picking it from the list copies it once more.
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), QStringLiteral("500GB"));
        clipboard->setText(QStringLiteral("stale"));
        QTest::qWait(10);
        pick(box, QStringLiteral("500GB"));
        QCOMPARE(clipboard->text(), QStringLiteral("976773168"));
        disconnect(counting);
    }

    void typingAKeyInAnyCaseCopiesItsValue()
    {
        writeSettings(exampleSettings());
        EditorHarness h;
        // Texts that are not keys yet put empty text on the clipboard.
        QCOMPARE(typeKeys(capacityBox(h), QStringLiteral("2000gb")), QStringList(5, QString()) << "3907029168");
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

    // The reader's answer for a file it cannot open, too.
    void withoutSettingsFileTheListIsEmpty()
    {
        QFile::remove(settingsPath());
        EditorHarness h;
        QComboBox* box = capacityBox(h);
        QCOMPARE(box->count(), 0);
        QCOMPARE(box->currentText(), QLatin1String(kPrompt));
        QCOMPARE(typeKeys(box, QStringLiteral("2000GB")), QStringList(6, QString()));
        QVERIFY(h.takeBoxes().isEmpty());
    }

    // A pipe would hang start-up and a device would be read without end:
    // both read as no settings file at all, at start-up and at every change.
    void pipeOrDeviceAsSettingsFileReadsAsNone_data()
    {
        QTest::addColumn<bool>("pipe");
        QTest::newRow("FIFO") << true;
        QTest::newRow("link to /dev/zero") << false;
    }

    void pipeOrDeviceAsSettingsFileReadsAsNone()
    {
        QFETCH(bool, pipe);
        QFile::remove(settingsPath());
        if (pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(settingsPath()).constData(), 0644), 0);
        else
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), settingsPath()));
        EditorHarness h;
        QComboBox* box = capacityBox(h);
        QCOMPARE(box->count(), 0);
        QCOMPARE(typeKeys(box, QStringLiteral("2T")), QStringList(2, QString()));
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

    // Types into the box key by key; the clipboard's text after each key.
    static QStringList typeKeys(QComboBox* box, const QString& keys)
    {
        QLineEdit* edit = box->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QStringList clips;
        for (QChar c : keys) {
            QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
            QTest::keyClicks(edit, QString(c));
            clips << QGuiApplication::clipboard()->text();
        }
        return clips;
    }

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
