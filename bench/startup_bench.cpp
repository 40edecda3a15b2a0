// Start-up to the first painted window: the editor against a bare Qt window
// with the same widgets, each started from an empty folder and from one of
// 1000 files. A start-up that lists or opens the files of the folder it was
// started from shows as the gap between the two folders.

#include "bare_qt_window.h"
#include "tfm_zentab_editor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Runs the benchmark with the current folder set to one of state.range(0) files.
template <typename Start>
void FromFolder(benchmark::State& state, Start start)
{
    QTemporaryDir folder;
    for (int i = 0; i < state.range(0); ++i) {
        QFile file(folder.filePath(QStringLiteral("module-%1.bin").arg(i, 4, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(512, char(i))) != 512) {
            state.SkipWithError("cannot fill the folder");
            return;
        }
    }
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    for (auto _ : state)
        start();
    QDir::setCurrent(before);
}

void BareQtWindow(benchmark::State& state)
{
    FromFolder(state, [] {
        const std::unique_ptr<QWidget> window = BareWindow();
        ShowUntilPainted(*window);
    });
}
BENCHMARK(BareQtWindow)->ArgName("files")->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

void EditorWindow(benchmark::State& state)
{
    FromFolder(state, [] {
        zentab::Module module;
        TfmZentabEditor window(module);
        ShowUntilPainted(window);
    });
}
BENCHMARK(EditorWindow)->ArgName("files")->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

// The start-up the editor had when its file dialogs were made with the
// window: what making them at their first use saves.
void EditorWithDialogsAtStart(benchmark::State& state)
{
    FromFolder(state, [] {
        zentab::Module module;
        TfmZentabEditor window(module);
        window.openDialog();
        window.saveDialog();
        ShowUntilPainted(window);
    });
}
BENCHMARK(EditorWithDialogsAtStart)->ArgName("files")->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
