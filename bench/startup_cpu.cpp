// Start-up as whole processes, timed in CPU time, which unlike wall time
// holds steady on a shared machine. Two measures, each against the bare Qt
// window with the same widgets started the same way:
//  - to the first painted window, started from an empty folder;
//  - to the module on screen: started with a 10-row module as its argument
//    (as a file manager's Open With does), to the paint that shows the
//    module's lists; the bare window gets the same argument and paints.
// Each child is started N times, in turn; prints the median user + system
// CPU time of each and the ratios.
//   startup_cpu [N]                                    (N = 21)
//   startup_cpu --child editor|bare [MODULE]           one start, then exit
// scripts/bench-startup-callgrind.sh runs the children under Callgrind.

#include "bare_qt_window.h"
#include "module_builder.h"
#include "tfm_zentab_editor.h"
#include "window_description.h"
#include "zentab_application.h"

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Notes a paint of a widget once it is enabled: a model field is enabled by
// the Load that fills it.
class LoadedPaintSpy : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && static_cast<QWidget*>(watched)->isEnabled())
            painted = true;
        return false;
    }
};

int Child(int argc, char** argv, const std::string& which, const char* module)
{
    if (which == "editor") {
        static zentab::Module image;
        ZentabApplication application(argc, argv);
        TfmZentabEditor window(image);
        if (!module) {
            ShowUntilPainted(window);
            return 0;
        }
        // As main() starts it: shown, then the argument taken up.
        QWidget* lastList = window.widget(zentab::editor::ModelField(6, 1));
        LoadedPaintSpy spy;
        lastList->installEventFilter(&spy);
        window.show();
        window.openWhenShown({std::filesystem::path(module)});
        while (!spy.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return window.windowTitle().contains(QStringLiteral(".bin")) ? 0 : 3;
    }
    QApplication application(argc, argv);
    const std::unique_ptr<QWidget> window = BareWindow();
    ShowUntilPainted(*window);
    return 0;
}

// User + system milliseconds of one child start; negative on failure.
double StartOnce(const char* self, const char* which, const char* folder, const char* module)
{
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder) != 0)
            _exit(126);
        execl(self, self, "--child", which, module, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--child") == 0)
        return Child(argc, argv, argv[2], argc == 4 ? argv[3] : nullptr);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString();
    // A desktop session has one; the folder is the user's own (0700).
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
    // The module lies elsewhere, as one opened from a file manager does.
    QTemporaryDir modules;
    const std::string module = modules.filePath(QStringLiteral("module.bin")).toStdString();
    const std::vector<std::uint8_t> bytes = zentab::testkit::ModuleBuilder().rows(10).build().bytes;
    std::ofstream(module, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

    struct Measure {
        const char* title;
        const char* module;
    };
    for (const Measure measure : {Measure{"to the first painted window", nullptr},
                                  Measure{"to the module on screen (started with a module)", module.c_str()}}) {
        const char* names[2] = {"editor", "bare"};
        std::vector<double> times[2];
        // In turn, so that a busy spell of the machine hits both alike.
        for (int i = 0; i < runs; ++i) {
            for (int which = 0; which < 2; ++which) {
                const double ms = StartOnce("/proc/self/exe", names[which], path.c_str(), measure.module);
                if (ms < 0) {
                    std::fprintf(stderr, "the %s child failed\n", names[which]);
                    return 1;
                }
                times[which].push_back(ms);
            }
        }
        std::printf("Start-up %s:\n", measure.title);
        double medians[2] = {};
        for (int which = 0; which < 2; ++which) {
            medians[which] = Median(times[which]);
            std::printf("  %-7s user+system CPU time: median %.1f ms of %d (%.1f to %.1f)\n", names[which],
                        medians[which], runs, *std::min_element(times[which].begin(), times[which].end()),
                        *std::max_element(times[which].begin(), times[which].end()));
        }
        std::printf("  ratio: %.2f\n", medians[0] / medians[1]);
    }
    return 0;
}
