#pragma once
// The corpus runner's tools: the user's hand (XTest), the capture folder
// watched for step images, finding an element, judging a picture.
#include "platform/accessibility.h"
#include "tests/corpus/corpus.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

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

using Clock = std::chrono::steady_clock;

// The hand of the user: XTest on a connection of its own.
class Hand {
public:
    Hand() : m_display(XOpenDisplay(nullptr)) {}
    ~Hand() {
        if (m_display) XCloseDisplay(m_display);
    }
    bool ok() const { return m_display != nullptr; }
    void move(QPoint p) {
        XTestFakeMotionEvent(m_display, -1, p.x(), p.y(), CurrentTime);
        XSync(m_display, False);
    }
    void button(int b, bool down) {
        XTestFakeButtonEvent(m_display, b, down, CurrentTime);
        XSync(m_display, False);
    }
    // Both in one request stream: the instant of a touchpad tap.
    void tap(int b) {
        XTestFakeButtonEvent(m_display, b, True, CurrentTime);
        XTestFakeButtonEvent(m_display, b, False, CurrentTime);
        XSync(m_display, False);
    }
    void key(KeySym sym, bool shift = false) {
        const KeyCode code = XKeysymToKeycode(m_display, sym);
        const KeyCode shiftCode = XKeysymToKeycode(m_display, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(m_display, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(m_display, shiftCode, False, CurrentTime);
        XSync(m_display, False);
    }
    void chord(KeySym a, KeySym b, KeySym c) {
        const KeyCode ka = XKeysymToKeycode(m_display, a), kb = XKeysymToKeycode(m_display, b),
                      kc = XKeysymToKeycode(m_display, c);
        XTestFakeKeyEvent(m_display, ka, True, CurrentTime);
        XTestFakeKeyEvent(m_display, kb, True, CurrentTime);
        XTestFakeKeyEvent(m_display, kc, True, CurrentTime);
        XTestFakeKeyEvent(m_display, kc, False, CurrentTime);
        XTestFakeKeyEvent(m_display, kb, False, CurrentTime);
        XTestFakeKeyEvent(m_display, ka, False, CurrentTime);
        XSync(m_display, False);
    }

private:
    Display* m_display;
};

// New files in the capture folder, with the moment each appeared.
class FolderWatch {
public:
    explicit FolderWatch(const QString& folder) {
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd >= 0)
            inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                              IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~FolderWatch() {
        if (m_fd >= 0) close(m_fd);
    }
    struct Arrival {
        QString name;
        Clock::time_point at;
    };
    // Waits until `count` step images have come (or `ms` passed), adding to
    // what `got` holds already.
    QList<Arrival> waitFor(int count, int ms, QList<Arrival> got = {}) {
        QDeadlineTimer deadline(ms);
        while (got.size() < count && !deadline.hasExpired()) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) read(got);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        return got;
    }
    // Spends `ms` (a held button, a drag's pause) noting what comes meanwhile,
    // so that a step is timed when it appeared, not when the hand let go.
    void collect(QList<Arrival>& got, int ms) {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))) > 0)
                read(got);
        }
    }
    void drain() {
        QList<Arrival> ignored;
        read(ignored);
    }

private:
    void read(QList<Arrival>& into) {
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0) return;
            const auto now = Clock::now();
            for (char* p = buffer; p < buffer + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                const QString name = e->len ? QFile::decodeName(e->name) : QString();
                // The step images: 16-digit names; temporary files are not.
                if (name.size() > 16 && name.left(16).toLongLong() > 0 &&
                    !std::any_of(into.begin(), into.end(),
                                 [&](const Arrival& a) { return a.name == name; }))
                    into << Arrival{name, now};
                p += sizeof(inotify_event) + e->len;
            }
        }
    }
    int m_fd = -1;
};

inline QString confText(bool redact) {
    // BMP: the pictures are compared pixel by pixel; the unmarked copy in
    // NO_RECT shows the screen without the marker.
    const char* lines[] = {"save file format = 0", "no rect file = 1", "no confirm = 1",
                           "auto restart = 0",     "capture sound = 0", "confirm Append = 0",
                           "target = 0"};
    QString text;
    for (const char* l : lines)
        text += QLatin1String(l) + QStringLiteral("\r\n");
    if (!redact) text += QStringLiteral("redact = 0\r\n");
    return text;
}

inline bool isHidden(AccessibleObject& e) {
    return e.state() & (state::Invisible | state::Offscreen);
}

// The n-th showing element of `role` and `name` below `root`, breadth first.
inline std::optional<QRect> locate(const AccessibleRef& root, const Target& t) {
    QList<AccessibleRef> queue{root};
    int seen = 0;
    for (int visited = 0; !queue.isEmpty() && visited < 3000; ++visited) {
        const AccessibleRef e = queue.takeFirst();
        if (!e || isHidden(*e)) continue;
        if (e->role() == t.role && (t.name.isEmpty() || e->name().trimmed() == t.name)) {
            const QRect r = e->location();
            if (r.width() > 0 && r.height() > 0 && r.x() > -10000 && seen++ == t.nth) return r;
        }
        const int n = std::min(e->childCount(), 300);
        for (int i = 0; i < n; ++i)
            queue << e->child(i);
    }
    return std::nullopt;
}

inline QPoint pointIn(const QRect& r, const Target& t) {
    return QPoint(r.x() + int(r.width() * t.fx), r.y() + int(r.height() * t.fy));
}

// How far apart two pictures are where before and after differ, away from
// the pointer; nullopt when they hardly differ there.
struct Verdict {
    bool measurable = false;
    bool atPress = false;
};

inline Verdict compare(const QImage& step, const QImage& before, const QImage& after, QPoint offset,
                QPoint pointer) {
    Verdict v;
    if (step.isNull() || before.isNull() || after.isNull()) return v;
    const QRect pointerBox(pointer - QPoint(8, 8), QSize(56, 56));
    qint64 toBefore = 0, toAfter = 0;
    int differing = 0;
    for (int y = 0; y < step.height(); ++y) {
        for (int x = 0; x < step.width(); ++x) {
            const QPoint s(x + offset.x(), y + offset.y());
            if (pointerBox.contains(s) || !before.rect().contains(s)) continue;
            const QRgb b = before.pixel(s), a = after.pixel(s), g = step.pixel(x, y);
            const auto dist = [](QRgb p, QRgb q) {
                return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                       std::abs(qBlue(p) - qBlue(q));
            };
            if (dist(b, a) < 40) continue;
            ++differing;
            toBefore += dist(g, b);
            toAfter += dist(g, a);
        }
    }
    // A blinking caret is no reaction.
    v.measurable = differing >= 40;
    v.atPress = v.measurable && toBefore < toAfter;
    return v;
}


} // namespace klavoro::corpus
