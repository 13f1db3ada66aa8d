// Qt first: Xlib defines macros (Bool, Status) that break Qt headers.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "tests/corpus/corpusrun.h"

#include "capture/capturearea.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11screencopy.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "tests/corpus/corpustools.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace klavoro::corpus {

namespace {

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void pump(int ms) {
    QDeadlineTimer d(ms);
    while (!d.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Pending {
    Outcome outcome;
    QString image; // the step's image file (no extension), if it had one
    QImage before, after;
    QPoint pointer;
    bool typed = false;  // an input step: no image, found by its place
    int afterImage = -1; // index into the image order it follows
};

} // namespace

QStringList Runner::missingPrograms(const QList<App>& apps) {
    QStringList missing;
    for (const App& app : apps)
        if (QStandardPaths::findExecutable(app.program).isEmpty()) missing << app.program;
    return missing;
}

bool Runner::run(const QList<App>& apps) {
    m_outcomes.clear();
    Hand hand;
    x11::X11Desktop desktop;
    x11::X11ScreenCopy screen;
    // A patient service of its own: locating is no part of what is measured.
    x11::AtspiAccessibility locator(desktop, 3000, 20000, true);
    if (!hand.ok() || !desktop.isOpen() || !locator.isAvailable()) {
        m_error = QStringLiteral("no desktop or no accessibility bus");
        return false;
    }

    QTemporaryDir home;
    {
        QFile conf(home.filePath(QStringLiteral("Conf.txt")));
        if (!conf.open(QIODevice::WriteOnly)) return false;
        conf.write(toShiftJis(confText(m_options.redact)));
    }
    QProcess busy;
    if (m_options.busy) {
        const QString stress = QStandardPaths::findExecutable(QStringLiteral("stress-ng"));
        if (!stress.isEmpty())
            busy.start(stress, {QStringLiteral("--cpu"), QStringLiteral("1"),
                                QStringLiteral("--cpu-method"), QStringLiteral("loop"),
                                QStringLiteral("--quiet")});
        else
            busy.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                              QStringLiteral("while :; do :; done")});
        busy.waitForStarted(3000);
    }
    struct StopBusy {
        QProcess& p;
        ~StopBusy() {
            if (p.state() != QProcess::NotRunning) {
                p.kill();
                p.waitForFinished(3000);
            }
        }
    } stopBusy{busy};

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KLAVORO_HOME"), home.path());
    env.insert(QStringLiteral("KLAVORO_STATUS_BLOCK"),
               QStringLiteral("GetImage-corpus-%1").arg(QCoreApplication::applicationPid()));
    program.setProcessEnvironment(env);
    program.setStandardOutputFile(QProcess::nullDevice());
    // KLAVORO_TRACE_HOOK: the program's own account of each press, kept.
    program.setStandardErrorFile(qEnvironmentVariableIsSet("KLAVORO_TRACE_HOOK")
                                     ? QStringLiteral("/tmp/klavoro-corpus-trace.txt")
                                     : QProcess::nullDevice());
    program.start(m_options.program, {QStringLiteral("-auto")});
    const QString captureFolder = home.filePath(QStringLiteral("data"));
    QDeadlineTimer started(20000);
    while (!QFile::exists(home.filePath(QStringLiteral("wait"))) && !started.hasExpired())
        pump(50);
    if (!QFile::exists(home.filePath(QStringLiteral("wait")))) {
        m_error = QStringLiteral("recording did not start");
        program.kill();
        program.waitForFinished(3000);
        return false;
    }
    pump(500);
    FolderWatch watch(captureFolder);

    QList<Pending> pending;
    QStringList imageOrder; // every step image, in the order they came
    for (const App& app : apps) {
        QTemporaryDir appHome;
        QProcess process;
        QProcessEnvironment appEnv = QProcessEnvironment::systemEnvironment();
        appEnv.insert(QStringLiteral("XDG_CONFIG_HOME"), appHome.filePath(QStringLiteral("c")));
        appEnv.insert(QStringLiteral("XDG_DATA_HOME"), appHome.filePath(QStringLiteral("d")));
        appEnv.insert(QStringLiteral("HOME"), appHome.path());
        for (const QString& e : app.environment)
            appEnv.insert(e.section(u'=', 0, 0), e.section(u'=', 1));
        process.setProcessEnvironment(appEnv);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(app.program, app.arguments);
        AccessibleRef frame;
        WindowId window = 0;
        QDeadlineTimer appeared(20000);
        while (!frame && !appeared.hasExpired()) {
            pump(200);
            const QList<WindowId> found = desktop.findTopLevelWindows(app.title);
            window = found.isEmpty() ? 0 : found.first();
            if (window) frame = locator.objectOfWindow(window);
        }
        if (!frame) {
            m_error = QStringLiteral("%1 did not show its window").arg(app.name);
            process.kill();
            process.waitForFinished(3000);
            continue;
        }
        desktop.setForegroundWindow(window);
        pump(800); // first paint, fonts, accessibility tree
        watch.drain();

        for (const Act& act : app.acts) {
            frame = locator.objectOfWindow(window); // the tree may have been rebuilt
            std::optional<QRect> at;
            AccessibleRef foundIn = frame; // the window the target lies in
            const bool typing = act.kind == Act::Type || act.kind == Act::Key;
            if (typing) at = QRect(); // typed where the focus is
            for (int attempt = 0; attempt < 10 && !at; ++attempt) {
                if (attempt) pump(200);
                at = frame ? locate(frame, act.at) : std::nullopt;
                foundIn = frame;
                // A dialog of the application is a window of its own.
                const qint64 pid = desktop.processId(window);
                for (WindowId other : desktop.findTopLevelWindows(QString())) {
                    if (at) break;
                    if (other == window || desktop.processId(other) != pid) continue;
                    if (const AccessibleRef dialog = locator.objectOfWindow(other)) {
                        at = locate(dialog, act.at);
                        foundIn = dialog;
                    }
                }
            }
            const bool dragging = act.kind == Act::Drag || act.kind == Act::RightDrag;
            // A drag ends in the same window as it starts (a dialog's tab).
            const std::optional<QRect> to =
                dragging && at && foundIn ? locate(foundIn, act.to) : std::nullopt;
            Pending p;
            p.outcome.app = app.name;
            p.outcome.expected = act.sentence;
            if (!at || (dragging && !to)) {
                p.outcome.lost = true;
                p.outcome.got =
                    QStringLiteral("(target not found: %1)").arg(at ? act.to.name : act.at.name);
                pending << p;
                if (m_options.verbose)
                    fprintf(stderr, "%s: target %s not found\n", qPrintable(app.name),
                            qPrintable(act.at.name));
                continue;
            }
            const QPoint point = typing ? QPoint() : pointIn(*at, act.at);
            p.pointer = point;
            if (!typing) hand.move(point);
            pump(150); // hover effects settle, as a user's pointer rests
            watch.drain();
            const int button = act.kind == Act::RightClick || act.kind == Act::RightDrag ? 3 : 1;
            int images = 0;
            Clock::time_point pressed;
            QList<FolderWatch::Arrival> early;
            if (act.kind == Act::Type || act.kind == Act::Key) {
                for (QChar c : act.text) {
                    if (act.kind == Act::Key)
                        hand.key(static_cast<KeySym>(c.unicode()));
                    else if (c == u' ')
                        hand.key(XK_space);
                    else
                        hand.key(XStringToKeysym(QString(c.toLower()).toLatin1().constData()),
                                 c.isUpper());
                    pump(60);
                }
                p.typed = true;
                p.afterImage = int(imageOrder.size()) - 1;
                pump(act.settleMs);
                pending << p;
                continue;
            }
            // The picture before the press is one the screen has kept for a
            // moment: a hover effect drawn late (a busy browser) is not the
            // application's reaction to the press.
            const QRect whole(QPoint(0, 0), screen.screenSize());
            p.before = screen.copy(whole);
            for (QDeadlineTimer settled(1500); !settled.hasExpired();) {
                pump(60);
                QImage again = screen.copy(whole);
                if (again == p.before) break;
                p.before = std::move(again);
            }
            pressed = Clock::now();
            if (dragging) {
                const QPoint end = pointIn(*to, act.to);
                hand.button(button, true);
                for (int i = 1; i <= 6; ++i) {
                    watch.collect(early, m_options.instant ? 5 : 20);
                    hand.move(point + (end - point) * i / 6);
                }
                hand.button(button, false);
                images = 2;
            } else {
                if (m_options.instant) {
                    hand.tap(button);
                } else {
                    hand.button(button, true);
                    watch.collect(early, m_options.holdMs);
                    hand.button(button, false);
                }
                images = 1;
            }
            const QList<FolderWatch::Arrival> arrivals = watch.waitFor(images, 3000, early);
            pump(act.settleMs);
            p.after = screen.copy(QRect(QPoint(0, 0), screen.screenSize()));
            for (const auto& a : arrivals)
                imageOrder << a.name.section(u'.', 0, 0);
            if (dragging) {
                Pending press = p;
                press.outcome.expected = act.pressSentence;
                press.outcome.lost = arrivals.isEmpty();
                if (!arrivals.isEmpty()) {
                    press.image = arrivals[0].name.section(u'.', 0, 0);
                    press.outcome.pressToStepMs = msBetween(pressed, arrivals[0].at);
                }
                press.before = QImage(); // a drag's press picture is not judged
                pending << press;
                p.outcome.drag = true;
                p.outcome.dragRecorded = arrivals.size() >= 2;
                p.outcome.lost = arrivals.size() < 2;
                if (arrivals.size() >= 2) p.image = arrivals[1].name.section(u'.', 0, 0);
                p.before = QImage();
            } else {
                p.outcome.lost = arrivals.isEmpty();
                if (!arrivals.isEmpty()) {
                    p.image = arrivals[0].name.section(u'.', 0, 0);
                    p.outcome.pressToStepMs = msBetween(pressed, arrivals[0].at);
                }
                if (!act.visible) p.before = QImage();
            }
            pending << p;
        }
        process.kill();
        process.waitForFinished(3000);
        pump(300);
    }

    // Ctrl+Shift+E ends recording; the list is written then.
    hand.chord(XK_Control_L, XK_Shift_L, XK_e);
    QDeadlineTimer stopped(10000);
    while (QFile::exists(home.filePath(QStringLiteral("wait"))) && !stopped.hasExpired())
        pump(100);
    pump(1500);
    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(3000);
    }

    QFile list(captureFolder + QStringLiteral("/OpList.txt"));
    QStringList lines;
    if (list.open(QIODevice::ReadOnly))
        lines = fromShiftJis(list.readAll()).split(QStringLiteral("\r\n"));
    QHash<QString, QString> sentenceOf;
    QHash<QString, int> lineOf;
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = lineField(lines[i], FieldImageName);
        if (!name.isEmpty()) {
            sentenceOf.insert(name, lineField(lines[i], FieldMessage));
            lineOf.insert(name, i);
        }
    }
    for (Pending& p : pending) {
        if (p.typed) {
            // The typed text's step stands after the image it followed.
            const int from = p.afterImage >= 0 ? lineOf.value(imageOrder[p.afterImage], -1) : 0;
            for (int i = from + 1; i < lines.size() && i > 0; ++i) {
                if (!lineField(lines[i], FieldImageName).isEmpty()) break;
                const QString message = lineField(lines[i], FieldMessage);
                if (!message.isEmpty()) {
                    p.outcome.got = message;
                    break;
                }
            }
            p.outcome.lost = p.outcome.got.isEmpty();
        } else if (!p.image.isEmpty()) {
            p.outcome.got = sentenceOf.value(p.image);
            const QImage step(captureFolder + QStringLiteral("/NO_RECT/") + p.image +
                              QStringLiteral(".bmp"));
            const ScreenRect area = aroundArea(p.pointer, p.before.size(), 1.0, -150, -100, 150, 200);
            const Verdict v = compare(step, p.before, p.after, QPoint(area.left, area.top),
                                      p.pointer);
            p.outcome.measurable = v.measurable;
            p.outcome.atPress = v.atPress;
        }
        m_outcomes << p.outcome;
        if (m_options.verbose)
            fprintf(stderr, "%-12s %s %s %6.1f ms\n  want %s\n  got  %s\n",
                    qPrintable(p.outcome.app), p.outcome.got == p.outcome.expected ? "ok  " : "DIFF",
                    p.outcome.measurable ? (p.outcome.atPress ? "at-press" : "AFTER   ")
                                         : "        ",
                    p.outcome.pressToStepMs, qPrintable(p.outcome.expected),
                    qPrintable(p.outcome.got));
    }
    if (!m_options.keepFolder.isEmpty()) {
        QDir().mkpath(m_options.keepFolder);
        QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), captureFolder,
                                                 m_options.keepFolder});
    }
    return true;
}

Summary Runner::summary() const {
    Summary s;
    std::vector<double> ms;
    for (const Outcome& o : m_outcomes) {
        ++s.acts;
        if (!o.lost && o.got == o.expected) ++s.right;
        if (o.lost) ++s.lost;
        if (o.measurable) ++s.measurable;
        if (o.atPress) ++s.atPress;
        if (o.drag) ++s.drags;
        if (o.dragRecorded) ++s.dragsRecorded;
        if (o.pressToStepMs >= 0) ms.push_back(o.pressToStepMs);
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        s.medianMs = ms[ms.size() / 2];
        s.p99Ms = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    }
    return s;
}

QString Summary::table() const {
    return QStringLiteral("%1/%2 sentences right | %3/%4 pictures at the press | %5 lost | "
                          "%6/%7 drags | press-to-step median %8 ms, p99 %9 ms")
        .arg(right)
        .arg(acts)
        .arg(atPress)
        .arg(measurable)
        .arg(lost)
        .arg(dragsRecorded)
        .arg(drags)
        .arg(medianMs, 0, 'f', 1)
        .arg(p99Ms, 0, 'f', 1);
}

} // namespace klavoro::corpus
