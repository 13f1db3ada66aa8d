// Screen copies: a 300 x 300 area around a click and the whole screen.
// Run on a desktop: scripts/desktop-session build/bench/bench_screencopy
#include "platform/x11/x11screencopy.h"

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {

void copyArea(benchmark::State& state, const QRect& area) {
    x11::X11ScreenCopy screen;
    if (!screen.isOpen() || screen.copy(area).isNull()) {
        state.SkipWithError("no X display");
        return;
    }
    state.SetLabel(screen.usesSharedMemory() ? "MIT-SHM" : "XGetImage");
    for (auto _ : state) {
        QImage image = screen.copy(area);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_ScreenCopy300(benchmark::State& state) {
    copyArea(state, {490, 362, 300, 300});
}
void BM_ScreenCopyFull(benchmark::State& state) {
    copyArea(state, {0, 0, 1280, 1024});
}

// The monitor query every press makes (one RandR round trip); run it on a
// divided screen too (KLAVORO_MONITORS of scripts/desktop-session).
void BM_MonitorQuery(benchmark::State& state) {
    x11::X11ScreenCopy screen;
    if (!screen.isOpen()) {
        state.SkipWithError("no X display");
        return;
    }
    state.SetLabel(std::to_string(screen.monitors().size()) + " monitors");
    for (auto _ : state)
        benchmark::DoNotOptimize(screen.monitors());
}

BENCHMARK(BM_MonitorQuery)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ScreenCopy300)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ScreenCopyFull)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
