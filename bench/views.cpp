// The image viewer and the thumbnail strip on a real display: a step's
// full-HD JPEG to the picture on screen, scrolling a 15000-step strip that has
// no thumbnails yet, and the memory the views add for such a list.
#include "capture/encoders.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/imagesizepanel.h"
#include "ui/imageviewer.h"
#include "ui/thumbnailstrip.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace klavoro;

namespace {

// Something like a capture: a title bar, lines of text, a photo-like patch.
QImage captureLike(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(243, 243, 243));
    QPainter p(&img);
    QLinearGradient g(0, 0, w, 0);
    g.setColorAt(0, QColor(30, 90, (200 + seed * 7) % 256));
    g.setColorAt(1, QColor(240, 170, 60));
    p.fillRect(0, 0, w, 32, g);
    p.setPen(Qt::black);
    for (int y = 50; y < h - 20; y += 22)
        p.drawText(10 + seed % 50, y, QStringLiteral("設定ファイルを編集＆適用 Options %1").arg(y));
    for (int y = h / 2; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + y + seed) & 255, (x ^ y) & 255, (x * y) & 255));
    return img;
}

QString stepName(int i) {
    return QStringLiteral("2026120609%1").arg(i, 6, 10, QLatin1Char('0'));
}

QTemporaryDir& scratch() {
    static QTemporaryDir d;
    return d;
}

// CPU time of the calling thread: what the GUI thread itself spent, apart
// from the time other processes of a busy machine took from it.
double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

qint64 residentBytes() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

void statistics(benchmark::State& state, std::vector<double> ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
    state.counters["max_ms"] = ms.back();
}

// Sleeps in the event loop (a busy wait would take a core from the workers).
bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    QTimer tick; // wakes the loop to look at the clock
    tick.start(100);
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Twenty different full-HD captures in one folder.
QString viewerFolder() {
    static const QString folder = [] {
        const QString f = scratch().path() + "/viewer/";
        QDir().mkpath(f);
        for (int i = 1; i <= 20; ++i)
            writeJpeg(captureLike(1920, 1080, i), f + stepName(i) + ".jpg", 80);
        return f;
    }();
    return folder;
}

// A 15000-step list whose images exist (hard links of one capture) but whose
// thumbnails do not.
QString stripFolder(StepList& steps) {
    const QString folder = scratch().path() + "/strip/";
    QDir().mkpath(folder);
    const QString first = folder + stepName(1) + ".jpg";
    if (!QFile::exists(first)) writeJpeg(captureLike(1920, 1080, 1), first, 80);
    QStringList lines;
    for (int i = 1; i <= 15000; ++i) {
        const QString path = folder + stepName(i) + ".jpg";
        if (i > 1 && !QFile::exists(path)) ::link(first.toLocal8Bit(), path.toLocal8Bit());
        lines << buildStepLine(i, stepName(i), QStringLiteral("[OK](ボタン)を、クリックします。"),
                               "jpg", QString());
    }
    steps.appendLines(lines);
    QDir(folder + "Thumb").removeRecursively();
    return folder;
}

// Resident memory: the process with its display connection, then the
// 15000-step list, then the viewer (full-HD picture) and the strip with its
// visible thumbnails made.
void BM_ResidentMemory15000Steps(benchmark::State& state) {
    for (auto _ : state) {
        const qint64 base = residentBytes();
        StepList steps;
        const QString folder = stripFolder(steps);
        const qint64 withList = residentBytes();
        QWidget window;
        window.resize(1400, 900);
        auto* layout = new QVBoxLayout(&window);
        auto* viewer = new ImageViewer;
        auto* panel = new ImageSizePanel(*viewer, conf());
        ThumbnailLoader thumbnails;
        auto* strip = new ThumbnailStrip(steps, thumbnails, conf());
        strip->setCaptureFolder(folder);
        layout->addWidget(panel);
        layout->addWidget(viewer, 1);
        layout->addWidget(strip);
        window.show();
        viewer->showStep(folder, stepName(1));
        panel->fitToViewer();
        waitFor([&] { return !viewer->isLoading() && strip->loader().isIdle(); });
        strip->setFirstStep(7000);
        QApplication::processEvents();
        waitFor([&] { return strip->loader().isIdle(); });
        const qint64 all = residentBytes();
        state.counters["base_MB"] = base / 1048576.0;
        state.counters["list_MB"] = (withList - base) / 1048576.0;
        state.counters["views_MB"] = (all - withList) / 1048576.0;
        state.counters["total_MB"] = all / 1048576.0;
    }
}
BENCHMARK(BM_ResidentMemory15000Steps)->Iterations(1)->Unit(benchmark::kMillisecond);

// Select step -> its picture on screen: from the request to the end of the
// paint that shows it. Arg 0: display width; arg 1: 1 to decode the neighbours
// ahead and walk forward (the arrow keys), 0 to jump around (clicks).
void BM_SelectStepToImageShown(benchmark::State& state) {
    const QString folder = viewerFolder();
    const int width = static_cast<int>(state.range(0));
    const bool walk = state.range(1) != 0;
    QWidget window;
    window.resize(1000, 700);
    auto* viewer = new ImageViewer(&window);
    viewer->setGeometry(0, 0, 1000, 700);
    viewer->setDisplayWidth(width);
    window.show();
    waitFor([&] { return window.isVisible() && window.windowHandle()->isExposed(); });
    bool shown = false;
    QObject::connect(viewer, &ImageViewer::imageShown, [&] { shown = true; });
    std::vector<double> ms, cpu;
    int step = 0;
    for (auto _ : state) {
        step = walk ? step % 20 + 1 : (step * 7 + 3) % 20 + 1;
        QStringList neighbours;
        if (walk) neighbours << stepName(step % 20 + 1) << stepName((step + 18) % 20 + 1);
        shown = false;
        QElapsedTimer t;
        t.start();
        const double cpu0 = threadCpuMs();
        viewer->showStep(folder, stepName(step), neighbours);
        if (!waitFor([&] { return shown; })) state.SkipWithError("no picture");
        viewer->viewport()->repaint();
        ms.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - cpu0);
        if (!viewer->hasImage()) state.SkipWithError("empty viewer");
        // The user looks at it for a moment; the full picture and the
        // neighbours are decoded meanwhile.
        waitFor([&] { return !viewer->isLoading(); });
        QThread::msleep(walk ? 40 : 0);
        QApplication::processEvents();
    }
    statistics(state, ms);
    std::sort(cpu.begin(), cpu.end());
    if (!cpu.empty()) state.counters["gui_cpu_median_ms"] = cpu[cpu.size() / 2];
}
BENCHMARK(BM_SelectStepToImageShown)
    ->Args({300, 0})
    ->Args({1000, 0})
    ->Args({1920, 0})
    ->Args({300, 1})
    ->Args({1000, 1})
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond);

// Scrolls from the first step to the last, a page at a time, letting events
// run between the pages as a user's scrolling does. Each page's paint is
// timed, and so is each turn of the event loop in between, where arriving
// thumbnails are drawn: the longest of either is what a user could feel.
void BM_StripScroll15000WithoutThumbnails(benchmark::State& state) {
    StepList steps;
    const QString folder = stripFolder(steps);
    ThumbnailLoader thumbnails;
    ThumbnailStrip strip(steps, thumbnails, conf());
    strip.setCaptureFolder(folder);
    strip.resize(1200, strip.sizeHint().height());
    strip.show();
    waitFor([&] { return strip.windowHandle() && strip.windowHandle()->isExposed(); });
    std::vector<double> paints;
    double longestTurn = 0, longestPaintCpu = 0, longestTurnCpu = 0;
    int pages = 0;
    for (auto _ : state) {
        const int shown = strip.shownPanelCount();
        for (int first = 1; first <= 15000; first += shown) {
            strip.setFirstStep(first);
            QElapsedTimer t;
            t.start();
            double cpu = threadCpuMs();
            strip.viewport()->repaint();
            paints.push_back(t.nsecsElapsed() / 1e6);
            longestPaintCpu = std::max(longestPaintCpu, threadCpuMs() - cpu);
            ++pages;
            t.start();
            cpu = threadCpuMs();
            QApplication::processEvents();
            longestTurn = std::max(longestTurn, t.nsecsElapsed() / 1e6);
            longestTurnCpu = std::max(longestTurnCpu, threadCpuMs() - cpu);
        }
    }
    statistics(state, paints);
    state.counters["paint_cpu_max_ms"] = longestPaintCpu;
    state.counters["event_turn_max_ms"] = longestTurn;
    state.counters["event_turn_cpu_max_ms"] = longestTurnCpu;
    state.counters["pages"] = pages;
    state.counters["thumbs_asked"] = strip.loader().requestsMade();
}
BENCHMARK(BM_StripScroll15000WithoutThumbnails)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "run through scripts/desktop-session: the views need a display\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
