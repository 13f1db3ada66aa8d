// The main window on a 15000-step capture folder of full-HD JPEG captures:
// from construction to the window shown with its list filled, and the
// resident memory afterwards. Run under scripts/desktop-session.
#include "app/mainwindowgraph.h"
#include "platform/services.h"
#include "record/notificationarea.h"
#include "store/notices.h"
#include "ui/qtdialogs.h"
#include "store/capturefolder.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/steplist.h"
#include "ui/frmklavoro.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <unistd.h>

using namespace klavoro;

namespace {

constexpr int kSteps = 15000;

struct Folder {
    QTemporaryDir dir;
    Folder() {
        qputenv(kProgramFolderEnv, dir.path().toLocal8Bit());
        resetProgramFolder();
        const QString data = dir.path() + "/data/";
        QDir().mkpath(data);
        QImage shot(1920, 1080, QImage::Format_RGB32);
        shot.fill(QColor(40, 90, 160));
        const QString first = data + "first.jpg";
        shot.save(first, "JPEG", 70);
        // One picture, hard-linked under every step's name: cheap on disk.
        QByteArray list =
            toShiftJis(QStringLiteral("最終行 = \t1\t\r\n")) + QByteArray(28, '-') + "\x03\r\n";
        const QByteArray message =
            toShiftJis(QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"));
        for (int i = 1; i <= kSteps; ++i) {
            const QByteArray name =
                QByteArray("2026120809") + QByteArray::number(i).rightJustified(6, '0');
            ::link(first.toLocal8Bit().constData(),
                   (data + name + ".jpg").toLocal8Bit().constData());
            list += "\t" + name + "    \t\t" + QByteArray::number(i) + "\t" + message +
                    QByteArray(100 - message.size(), ' ') + "\tjpg\t\r\n";
        }
        QFile f(data + "OpList.txt");
        if (f.open(QIODevice::WriteOnly)) f.write(list);
        QFile::remove(first);
    }
};

long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void BM_StartToListShown(benchmark::State& state) {
    static Folder folder;
    long rss = 0;
    for (auto _ : state) {
        conf() = Settings();
        conf().disp = 2;
        PlatformServices platform;
        QtDialogs dialogs;
        SilentNotices notices;
        NoNotificationArea tray;
        MainWindowGraph graph({platform, dialogs, notices, tray});
        frmKlavoro& w = graph.window();
        w.applySettings();
        w.show();
        w.reloadList();
        if (!QTest::qWaitForWindowExposed(&w)) state.SkipWithError("window not shown");
        QApplication::processEvents();
        if (w.steps().count() != kSteps) state.SkipWithError("list not filled");
        rss = residentKb();
        state.PauseTiming();
        w.close();
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = double(rss) / 1024.0;
}
BENCHMARK(BM_StartToListShown)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
