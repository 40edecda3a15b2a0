// Reaching the window without a mouse or without sight: accessible names
// and buddies, the Load and Save keys, and the 8-bit names that what the
// fields show must match.

#include "editor_harness.h"
#include "window_test_registry.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

using zentab::testkit::ModuleBuilder;

namespace {

const char* const kFormatNames[] = {"Main format",  "Alt 1 format", "Alt 2 format",
                                    "Alt 3 format", "Alt 4 format", "Alt 5 format"};

// What a screen reader is told the control is called.
QString SpokenName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// Types any characters, as a keyboard layout that has them would.
void TypeText(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &release);
    }
}

bool Activate(QWidget& window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

}  // namespace

class KeyboardAccessTest : public QObject {
    Q_OBJECT
private slots:
    void everyGridControlHasItsOwnName()
    {
        EditorHarness h;
        QSet<QString> names;
        for (int f = 1; f <= zentab::kFormats; ++f) {
            for (int r = 1; r <= zentab::kShownRows; ++r) {
                const QString row = QStringLiteral("%1, row %2, ").arg(QLatin1String(kFormatNames[f - 1])).arg(r);
                const std::pair<QString, QString> controls[] = {{Field("Mdl", f, r), row + "model name"},
                                                                {Field("LBA", f, r), row + "maximum LBA"},
                                                                {SizeLabelName(f, r), row + "size"}};
                for (const auto& [object, expected] : controls) {
                    auto* widget = h.find<QWidget>(object);
                    QVERIFY2(widget, qPrintable(object));
                    QCOMPARE(SpokenName(widget), expected);
                    QVERIFY2(!widget->accessibleDescription().isEmpty(), qPrintable(object));
                    names.insert(expected);
                }
            }
        }
        QCOMPARE(names.size(), 180);

        // The size a label shows is what its description then says.
        h.load(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder().rows(2))));
        auto* size = h.find<QLabel>(SizeLabelName(1, 1));
        QVERIFY(!size->text().isEmpty());
        QCOMPARE(size->accessibleDescription(), size->text());
    }

    void commandPanelControlsAreNamedAndLabelled()
    {
        EditorHarness h;
        auto* combo = h.find<QComboBox>(QStringLiteral("cbStdCapacity"));
        QWidget* named[] = {h.find<QWidget>(QStringLiteral("edModel")), h.find<QWidget>(QStringLiteral("edDivider")),
                            h.find<QWidget>(QStringLiteral("edAligned")), combo, combo->lineEdit(),
                            h.find<QWidget>(QStringLiteral("btAuto")), h.find<QWidget>(QStringLiteral("btLoad")),
                            h.find<QWidget>(QStringLiteral("btSave")), h.find<QWidget>(QStringLiteral("laFormat"))};
        for (QWidget* widget : named) {
            QVERIFY(widget);
            QVERIFY2(!SpokenName(widget).isEmpty(), qPrintable(widget->objectName()));
            QVERIFY2(!widget->accessibleDescription().isEmpty(), qPrintable(widget->objectName()));
        }
        // Every caption label points at the edit it names.
        QHash<QString, QString> buddyOf;
        for (QLabel* label : h.window().findChildren<QLabel*>()) {
            if (label->buddy())
                buddyOf.insert(label->text() + QLatin1Char('@') + label->parentWidget()->objectName(),
                               label->buddy()->objectName());
        }
        QCOMPARE(buddyOf.value(QStringLiteral("Divider@Panel2")), QStringLiteral("edDivider"));
        QCOMPARE(buddyOf.value(QStringLiteral("Aligment@Panel2")), QStringLiteral("edAligned"));
        QCOMPARE(buddyOf.value(QStringLiteral("3@GroupBox2")), QStringLiteral("Mdl23"));
        QCOMPARE(buddyOf.value(QStringLiteral("10@GroupBox3")), QStringLiteral("Mdl610"));
        QCOMPARE(buddyOf.value(QStringLiteral("\u041C\u0430\u0445 LBA@GroupBox1")), QStringLiteral("LBA11"));
    }

    void controlKeysLoadAndSaveWithCaptionsKept()
    {
        EditorHarness h;
        QVERIFY(Activate(h.window()));
        QCOMPARE(h.find<QPushButton>(QStringLiteral("btLoad"))->text(), QStringLiteral("Load"));
        QCOMPARE(h.find<QPushButton>(QStringLiteral("btSave"))->text(), QStringLiteral("Save"));
        // Before a Load, Save is disabled and so is its key.
        QTest::keyClick(&h.window(), Qt::Key_S, Qt::ControlModifier);
        QTest::qWait(200);
        QVERIFY(h.unexpected().isEmpty());

        h.answer(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder().rows(4))));
        QTest::keyClick(&h.window(), Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(h.window().windowTitle().endsWith(QStringLiteral("m.bin")));

        // Ctrl+S from inside a field.
        QVERIFY(Activate(h.window()));
        QLineEdit* field = h.field(QStringLiteral("Mdl11"));
        field->setFocus();
        h.answer(h.path(QStringLiteral("out.bin")));
        QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(QFile::exists(h.path(QStringLiteral("out.bin"))));
        QVERIFY2(h.unexpected().isEmpty(), qPrintable(h.unexpected().join(QLatin1Char('|'))));
    }

    void namesRefuseCharactersOutsideLatin1_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("grid") << QStringLiteral("Mdl23");
        QTest::newRow("template") << QStringLiteral("edModel");
    }

    void namesRefuseCharactersOutsideLatin1()
    {
        QFETCH(QString, field);
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder().rows(4))));
        QLineEdit* edit = h.field(field);
        edit->clear();
        TypeText(edit, QStringLiteral("WD\u0416\u20AC\u00E9"));  // Zhe and the euro sign refused, e-acute kept
        QCOMPARE(edit->text(), QStringLiteral("WD\u00E9"));
        QGuiApplication::clipboard()->setText(QStringLiteral("A\u0431C"));
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->text(), QStringLiteral("WD\u00E9"));  // refused whole, not cut to "AC"
        QGuiApplication::clipboard()->setText(QStringLiteral("-\u00FF"));
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->text(), QStringLiteral("WD\u00E9-\u00FF"));
    }

    // What the field shows is what the module holds, byte for byte.
    void savedNameIsTheShownLatin1Text()
    {
        EditorHarness h;
        h.load(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(ModuleBuilder().rows(4))));
        h.field(QStringLiteral("Mdl12"))->clear();
        TypeText(h.field(QStringLiteral("Mdl12")), QStringLiteral("S\u00E9rie \u0416 \u00C5"));
        QCOMPARE(h.text(QStringLiteral("Mdl12")), QStringLiteral("S\u00E9rie  \u00C5"));
        h.save(h.path(QStringLiteral("out.bin")));
        QCOMPARE(h.readFile(QStringLiteral("out.bin")),
                 ModuleBytes(ModuleBuilder().rows(4).name(2, 1, "S\xE9rie  \xC5")));
    }
};

ZENTAB_WINDOW_TEST(KeyboardAccessTest)
#include "keyboard_access_test.moc"
