// What a Save costs on large images: UpdateChecksum with the window's real
// pending-message hook installed, against a plain summing loop over the same
// bytes. The ratio counter is the figure that matters: the checksum lets the
// window repaint while it runs, and must not cost much more than the sum.

#include "container.h"
#include "pending_messages.h"
#include "zentab_application.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> Image(std::size_t size, bool royl)
{
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t x = 12345;
    for (std::uint8_t& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    if (royl)
        std::memcpy(bytes.data(), "ROYL", 4);
    else
        bytes[0] = 'X';
    return bytes;
}

std::uint32_t PlainSum(const std::vector<std::uint8_t>& bytes, bool royl)
{
    if (royl) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            std::uint32_t word;
            std::memcpy(&word, bytes.data() + i, 4);
            sum += word;
        }
        return sum;
    }
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes)
        sum = static_cast<std::uint8_t>(sum + b);
    return sum;
}

void Checksum(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    const bool royl = state.range(1) != 0;
    zentab::ModuleImage image;
    image.assign(Image(size, royl));
    double hookSeconds = 0;
    double plainSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        zentab::UpdateChecksum(image);
        const auto middle = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(PlainSum(image.bytes(), royl));
        const auto end = std::chrono::steady_clock::now();
        hookSeconds += std::chrono::duration<double>(middle - start).count();
        plainSeconds += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["plain_ms"] = benchmark::Counter(plainSeconds * 1000, benchmark::Counter::kAvgIterations);
    state.counters["checksum_ms"] = benchmark::Counter(hookSeconds * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = plainSeconds > 0 ? hookSeconds / plainSeconds : 0;
    state.SetLabel(royl ? "ROYL" : "legacy");
}

BENCHMARK(Checksum)
    ->ArgsProduct({{4 << 10, 1 << 20, 64 << 20}, {1, 0}})
    ->ArgNames({"bytes", "royl"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// For the record: the cost the slicing avoids, when pending messages are
// processed after every unit summed.
void PerUnitHookSum(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    const bool royl = state.range(1) != 0;
    const std::vector<std::uint8_t> bytes = Image(size, royl);
    const std::size_t unit = royl ? 4 : 1;
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i + unit <= bytes.size(); i += unit) {
            std::uint32_t word = 0;
            std::memcpy(&word, bytes.data() + i, unit);
            sum += word;
            zentab::ProcessPendingMessages();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetLabel(royl ? "ROYL" : "legacy");
}

BENCHMARK(PerUnitHookSum)
    ->ArgsProduct({{1 << 20}, {1, 0}})
    ->ArgNames({"bytes", "royl"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // The application object installs the real hook, as the editor does.
    ZentabApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
