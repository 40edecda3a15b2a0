#include "window_test_registry.h"
#include "zentab_application.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

std::vector<WindowTestClass>& WindowTestClasses()
{
    static std::vector<WindowTestClass> classes;
    return classes;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Private configuration folders: the user's settings play no part, and a
    // test can see anything that the window writes there.
    QTemporaryDir config;
    if (!config.isValid())
        return 2;
    const QString home = config.filePath(QStringLiteral("home"));
    const QString first = config.filePath(QStringLiteral("system1"));
    const QString second = config.filePath(QStringLiteral("system2"));
    for (const QString& folder : {home, first, second})
        QDir().mkpath(folder);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(first + QLatin1Char(':') + second));
    ZentabApplication application(argc, argv);
    const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
    std::vector<char*> args = {argv[0]};
    for (int i = only ? 2 : 1; i < argc; ++i)
        args.push_back(argv[i]);

    int failures = 0;
    bool ran = false;
    for (const WindowTestClass& test : WindowTestClasses()) {
        if (only && test.name != only)
            continue;
        ran = true;
        const std::unique_ptr<QObject> object = test.make();
        failures += QTest::qExec(object.get(), int(args.size()), args.data());
    }
    if (!ran) {
        std::fprintf(stderr, "no window test class named %s\n", only);
        return 2;
    }
    return failures;
}
