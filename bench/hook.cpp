// Time from an injected button press to the hook message reaching its receiver.
// Run on a desktop: scripts/desktop-session build/bench/bench_hook
#include "platform/x11/x11inputhook.h"
#include "platform/x11/x11syntheticinput.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace klavoro;

namespace {

struct Counter : HookReceiver {
    int presses = 0;
    int releases = 0;
    void hookMessage(const InputMessage& m) override {
        if (m.message != kHookMouse) return;
        if (m.wParam == kLeftDown || m.wParam == kLeftDblClk)
            ++presses;
        else if (m.wParam == kLeftUp)
            ++releases;
    }
};

void waitFor(const int& counter, int target) {
    while (counter < target)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BM_XTestPressToHookMessage(benchmark::State& state) {
    x11::X11SyntheticInput input;
    x11::X11InputHook hook;
    Counter counter;
    if (!input.isOpen() || !hook.SetHook(&counter, 0)) {
        state.SkipWithError("no X display with XTEST and XInput2");
        return;
    }
    input.moveTo({1200, 1000}); // an empty corner of the desktop
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        input.pressLeftButton();
        waitFor(counter.presses, counter.presses + 1);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        state.PauseTiming();
        input.releaseLeftButton();
        waitFor(counter.releases, counter.releases + 1);
        state.ResumeTiming();
    }
    hook.ResetHook();
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
    }
}
BENCHMARK(BM_XTestPressToHookMessage)
    ->Iterations(300)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
