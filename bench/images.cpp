// Encoding a capture and making thumbnails.
#include "bench/offscreenmain.h"
#include "capture/encoders.h"
#include "export/thumbnails.h"
#include "store/dialogs.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {

// Something like a capture: window chrome, text, a gradient, a photo-ish patch.
QImage captureLike(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(243, 243, 243));
    QPainter p(&img);
    QLinearGradient g(0, 0, w, 0);
    g.setColorAt(0, QColor(30, 90, 200));
    g.setColorAt(1, QColor(240, 170, 60));
    p.fillRect(0, 0, w, 32, g);
    p.setPen(Qt::black);
    for (int y = 50; y < h - 20; y += 22)
        p.drawText(10, y, QStringLiteral("設定ファイル(Conf.txt)を編集＆適用 Options and settings 12345"));
    for (int y = h / 2; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + y) & 255, (x ^ y) & 255, (x * y) & 255));
    return img;
}

QTemporaryDir& scratch() {
    static QTemporaryDir d;
    return d;
}

void BM_SaveJpegQ70_300x400(benchmark::State& state) {
    const QImage img = captureLike(300, 400);
    const QString path = scratch().path() + "/a.jpg";
    for (auto _ : state)
        if (!writeJpeg(img, path, 70))
            state.SkipWithError("write failed");
}
BENCHMARK(BM_SaveJpegQ70_300x400)->Unit(benchmark::kMillisecond);

void BM_SaveGif_300x400(benchmark::State& state) {
    const QImage img = captureLike(300, 400);
    const QString path = scratch().path() + "/a.gif";
    for (auto _ : state)
        if (!writeGif(img, path))
            state.SkipWithError("write failed");
}
BENCHMARK(BM_SaveGif_300x400)->Unit(benchmark::kMillisecond);

// 1000 full-HD JPEG captures, thumbnails made from nothing.
void BM_Thumbnails1000FullHd(benchmark::State& state) {
    const QString folder = scratch().path() + "/data/";
    QDir().mkpath(folder);
    const QImage img = captureLike(1920, 1080);
    StepList steps;
    for (int i = 0; i < 1000; ++i) {
        const QString name = QStringLiteral("20261206%1").arg(i, 8, 10, QLatin1Char('0'));
        if (i == 0 && !writeJpeg(img, folder + name + ".jpg", 70))
            state.SkipWithError("write failed");
        else if (i > 0)
            QFile::copy(folder + "2026120600000000.jpg", folder + name + ".jpg");
        steps.append(buildStepLine(i + 1, name, "m", "jpg", ""));
    }
    class Quiet : public ThumbnailProgress, public Dialogs {
    public:
        void showProgress(const QString&) override {}
        void setStatus(const QString&) override {}
        void message(const QString&, const QString&) override {}
        bool askYesNo(const QString&, const QString&, bool) override { return false; }
    } quiet;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(folder + "Thumb").removeRecursively();
        state.ResumeTiming();
        makeMissingThumbnails(steps, folder, ThumbnailBox(), quiet, quiet);
    }
}
BENCHMARK(BM_Thumbnails1000FullHd)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
