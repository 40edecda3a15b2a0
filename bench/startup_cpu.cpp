// Start-up as whole processes: the editor (its application object, window
// and first paint) against the bare Qt window, each started N times from an
// empty folder; prints the median user + system CPU time of each process and
// their ratio. CPU time, unlike wall time, holds steady on a shared machine.
//   startup_cpu [N]              (N = 21)
//   startup_cpu --child editor|bare   one start, then exit

#include "bare_qt_window.h"
#include "tfm_zentab_editor.h"
#include "zentab_application.h"

#include <QApplication>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Child(int argc, char** argv, const std::string& which)
{
    if (which == "editor") {
        static zentab::Module module;
        ZentabApplication application(argc, argv);
        TfmZentabEditor window(module);
        ShowUntilPainted(window);
        return 0;
    }
    QApplication application(argc, argv);
    const std::unique_ptr<QWidget> window = BareWindow();
    ShowUntilPainted(*window);
    return 0;
}

// User + system milliseconds of one child start; negative on failure.
double StartOnce(const char* self, const char* which, const char* folder)
{
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder) != 0)
            _exit(126);
        execl(self, self, "--child", which, static_cast<char*>(nullptr));
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
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return Child(argc, argv, argv[2]);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString();
    // A desktop session has one; the folder is the user's own (0700).
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
    const char* names[2] = {"editor", "bare"};
    std::vector<double> times[2];
    // In turn, so that a busy spell of the machine hits both alike.
    for (int i = 0; i < runs; ++i) {
        for (int which = 0; which < 2; ++which) {
            const double ms = StartOnce("/proc/self/exe", names[which], path.c_str());
            if (ms < 0) {
                std::fprintf(stderr, "the %s child failed\n", names[which]);
                return 1;
            }
            times[which].push_back(ms);
        }
    }
    double medians[2] = {};
    for (int which = 0; which < 2; ++which) {
        medians[which] = Median(times[which]);
        std::printf("%-7s user+system CPU time: median %.1f ms of %d (%.1f to %.1f)\n", names[which], medians[which],
                    runs, *std::min_element(times[which].begin(), times[which].end()),
                    *std::max_element(times[which].begin(), times[which].end()));
    }
    std::printf("ratio: %.2f\n", medians[0] / medians[1]);
    return 0;
}
