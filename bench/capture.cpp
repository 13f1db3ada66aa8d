// GetImage "around" 300 x 400 with marker and pointer, on the real X server
// (run under scripts/desktop-session).
#include "capture/getimage.h"
#include "platform/x11/x11cursor.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11screencopy.h"
#include "store/dialogs.h"
#include "store/settings.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {
class Element : public ElementRectSource {
public:
    ScreenRect elementRectAt(QPoint p) override { return {p.x() - 40, p.y() - 12, p.x() + 40, p.y() + 12}; }
};
class Quiet : public Dialogs {
public:
    void message(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
};

void BM_GetImageAround300x400(benchmark::State& state) {
    x11::X11Desktop desktop;
    x11::X11ScreenCopy screen;
    x11::X11Cursor cursor;
    Element element;
    Quiet dialogs;
    if (!desktop.isOpen() || !screen.isOpen()) {
        state.SkipWithError("no X display");
        return;
    }
    conf().rectLeft = -150;
    conf().rectTop = -200;
    conf().rectRight = 150;
    conf().rectBottom = 200;
    conf().mouseOption = 0;
    CaptureEngine engine(desktop, screen, cursor, element, dialogs);
    for (auto _ : state) {
        const CaptureResult r = engine.GetImage(QStringLiteral("around"), QStringLiteral("Left"), false, false);
        if (r.image.size() != QSize(300, 400))
            state.SkipWithError("wrong size");
        benchmark::DoNotOptimize(r.image.constBits());
    }
}
BENCHMARK(BM_GetImageAround300x400)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
