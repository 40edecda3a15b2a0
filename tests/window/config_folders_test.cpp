// The configuration folders: where the settings file is found, and that the
// window writes nothing there. The test program gives every run private
// folders in XDG_CONFIG_HOME and XDG_CONFIG_DIRS.

#include "editor_harness.h"
#include "window_test_registry.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QTest>

namespace {

QString ConfigHome() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }
QStringList ConfigDirs() { return qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':')); }
QString BesideExecutable() { return QDir(QCoreApplication::applicationDirPath()).filePath("ZentabEditor.ini"); }

// Every file and folder below the folder, hidden ones too.
QStringList Contents(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

void WriteSettings(const QString& path, const QByteArray& key)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[CAPACITY]\n" + key + "=1\n");
}

}  // namespace

class ConfigFoldersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(!ConfigHome().isEmpty());
        QCOMPARE(ConfigDirs().size(), 2);
        QFile beside(BesideExecutable());
        if (beside.open(QIODevice::ReadOnly))
            kept_ = beside.readAll();
        hadBeside_ = beside.exists();
    }

    void cleanupTestCase()
    {
        QFile::remove(BesideExecutable());
        if (hadBeside_) {
            QFile restored(BesideExecutable());
            QVERIFY(restored.open(QIODevice::WriteOnly));
            restored.write(kept_);
        }
    }

    void settingsFileFirstFoundWins_data()
    {
        // Which of beside / user / system 1 / system 2 have a file; the key the list then shows.
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("shown");
        QTest::newRow("all") << QStringLiteral("BUS2") << QStringLiteral("beside");
        QTest::newRow("user and systems") << QStringLiteral("US2") << QStringLiteral("user");
        QTest::newRow("systems") << QStringLiteral("S2") << QStringLiteral("system1");
        QTest::newRow("second system") << QStringLiteral("2") << QStringLiteral("system2");
        QTest::newRow("none") << QString() << QString();
    }

    void settingsFileFirstFoundWins()
    {
        QFETCH(QString, present);
        QFETCH(QString, shown);
        const QString relative = QStringLiteral("ZentabEditor/ZentabEditor.ini");
        const std::pair<QChar, QString> places[] = {
            {QLatin1Char('B'), BesideExecutable()},
            {QLatin1Char('U'), QDir(ConfigHome()).filePath(relative)},
            {QLatin1Char('S'), QDir(ConfigDirs()[0]).filePath(relative)},
            {QLatin1Char('2'), QDir(ConfigDirs()[1]).filePath(relative)}};
        const char* keys[] = {"beside", "user", "system1", "system2"};
        for (std::size_t i = 0; i < std::size(places); ++i) {
            QFile::remove(places[i].second);
            if (present.contains(places[i].first))
                WriteSettings(places[i].second, keys[i]);
        }
        EditorHarness h;
        auto* box = h.find<QComboBox>(QStringLiteral("cbStdCapacity"));
        QCOMPARE(box->count(), shown.isEmpty() ? 0 : 1);
        if (!shown.isEmpty())
            QCOMPARE(box->itemText(0), shown);
        for (const auto& place : places)
            QFile::remove(place.second);
        QDir(ConfigHome()).rmpath(QStringLiteral("ZentabEditor"));
        for (const QString& dir : ConfigDirs())
            QDir(dir).rmpath(QStringLiteral("ZentabEditor"));
    }

    // Qt's file dialog keeps a history in the user's configuration folder;
    // the editor keeps nothing, so nothing may appear there.
    void windowWritesNothingInTheConfigurationFolders()
    {
        QCOMPARE(Contents(ConfigHome()), QStringList());
        {
            EditorHarness h;
            h.load(QString());
            h.load(h.writeModule(QStringLiteral("m.bin"), ModuleBytes(zentab::testkit::ModuleBuilder())));
            h.save(QString());
            QVERIFY(h.window().OpenDialog1 && h.window().SaveDialog1);
            h.window().close();
        }
        QCoreApplication::processEvents();
        QCOMPARE(Contents(ConfigHome()), QStringList());
        for (const QString& dir : ConfigDirs())
            QCOMPARE(Contents(dir), QStringList());
    }

private:
    QByteArray kept_;
    bool hadBeside_ = false;
};

ZENTAB_WINDOW_TEST(ConfigFoldersTest)
#include "config_folders_test.moc"
