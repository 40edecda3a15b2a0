// Window timings: from nothing to a shown window, and from a module file to
// its lists shown in the grid (everything Load does after its dialog).

#include "container.h"
#include "model_codec.h"
#include "module_builder.h"
#include "tfm_zentab_editor.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

void StartupToShownWindow(benchmark::State& state)
{
    for (auto _ : state) {
        zentab::Module module;
        TfmZentabEditor window(module);
        window.show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&window));
    }
}
BENCHMARK(StartupToShownWindow)->Unit(benchmark::kMillisecond);

void LoadToShown(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("m.bin")).toStdString();
    zentab::testkit::WriteFileBytes(path, zentab::testkit::ModuleBuilder().rows(10).newLayout().build().bytes);
    zentab::Module module;
    TfmZentabEditor window(module);
    window.show();
    for (auto _ : state) {
        window.ClearModelFields();
        module.image.loadFromFile(path);
        zentab::ReadModuleDirectory(module.image, module.directory);
        zentab::DecideListLayout(module.image, module.directory, module.layout);
        zentab::ReadModelList(module.image, module.directory, module.layout, module.table);
        window.ShowModelTable(module.layout.rowsPerFormat);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(LoadToShown)->Unit(benchmark::kMillisecond);

}  // namespace
