#include "platform/x11/snapshottaker.h"

#include "capture/capturearea.h"
#include "capture/monitorlayout.h"
#include "describe/elementnaming.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/atspiscreentext.h"
#include "platform/x11/hookthreadshared.h"
#include "platform/x11/x11cursor.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11screencopy.h"
#include "platform/x11/xwindows.h"
#include "redact/patterns.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include <unistd.h>

namespace klavoro::x11 {

namespace {
// As the GUI thread's service; a held press cuts the budget shorter.
constexpr int kCallTimeoutMs = 200;
constexpr int kBudgetMs = 240;

QRect areaAt(QPoint point, QSize screen, const QList<QRect>& monitors, const PressArea& area) {
    const QRect whole(QPoint(0, 0), screen);
    if (!area.around) return whole;
    // The box the "around" capture will cut, on the point as it scales it,
    // kept on the monitor of the press.
    const double m = area.textMag;
    const QPoint p(static_cast<int>(std::nearbyint(point.x() * m)),
                   static_cast<int>(std::nearbyint(point.y() * m)));
    const QRect on = monitorAt(monitors, point, whole);
    const ScreenRect a =
        aroundAreaOn(p, ScreenRect{on.left(), on.top(), on.x() + on.width(), on.y() + on.height()},
                     m, area.left, area.top, area.right, area.bottom);
    return QRect(a.left, a.top, a.width(), a.height()).intersected(whole);
}
} // namespace

SnapshotTaker::SnapshotTaker()
    : m_desktop(std::make_unique<X11Desktop>()), m_screen(std::make_unique<X11ScreenCopy>()),
      m_cursor(std::make_unique<X11Cursor>()), m_accessibility(std::make_unique<AtspiAccessibility>(
                                                   *m_desktop, kCallTimeoutMs, kBudgetMs, true)),
      m_texts(std::make_unique<AtspiScreenText>(*m_desktop, m_accessibility->isAvailable())) {
    // The shared memory of the screen copy is made now, not at the first press.
    m_screen->copy(QRect(0, 0, 1, 1));
}

SnapshotTaker::~SnapshotTaker() = default;

bool SnapshotTaker::isOwnWindowAt(QPoint point) {
    const WindowId top = m_desktop->topLevelWindow(m_desktop->windowAt(point));
    return top && top != m_desktop->desktopWindow() && m_desktop->processId(top) == getpid();
}

void SnapshotTaker::prepare(QPoint point) {
    m_accessibility->prepare(point);
}

void SnapshotTaker::addWindows(PressSnapshot& s, WindowId top, bool full) {
    X11Desktop& d = *m_desktop;
    if (!full) {
        WindowFact f;
        f.id = f.topLevel = top;
        f.title = d.windowTitle(top);
        f.processId = d.processId(top);
        if (s.windowAt != top) {
            WindowFact at;
            at.id = s.windowAt;
            at.topLevel = top;
            s.windows << at;
        }
        s.windows << f;
        return;
    }
    WindowId w = s.windowAt;
    for (int depth = 0; w && w != s.desktopWindow && depth < 8; ++depth) {
        WindowFact f;
        f.id = w;
        f.parent = d.parent(w);
        f.topLevel = w == top ? top : d.topLevelWindow(w);
        f.className = d.className(w);
        f.rect = d.windowRect(w);
        if (f.topLevel == w) {
            f.title = d.windowTitle(w);
            f.processId = d.processId(w);
        }
        s.windows << f;
        if (f.topLevel == w) {
            if (f.parent && !s.window(f.parent)) {
                WindowFact owner;
                owner.id = f.parent;
                owner.parent = d.parent(f.parent);
                owner.topLevel = d.topLevelWindow(f.parent);
                owner.className = d.className(f.parent);
                owner.title = d.windowTitle(f.parent);
                owner.rect = d.windowRect(f.parent);
                owner.processId = d.processId(f.parent);
                s.windows << owner;
            }
            break;
        }
        w = f.parent;
    }
}

std::shared_ptr<PressSnapshot> SnapshotTaker::take(QPoint point, PressSnapshot::Hold hold,
                                                   int elementBudgetMs, const PressArea& area,
                                                   int textBudgetMs, const DragStart* dragStart) {
    // KLAVORO_TRACE_HOOK: where a snapshot's time goes.
    using Clock = std::chrono::steady_clock;
    Clock::time_point mark = Clock::now();
    QString phases;
    const auto phase = [&](const char* name) {
        if (!hookthread::tracing()) return;
        const Clock::time_point now = Clock::now();
        phases += QStringLiteral(" %1 %2").arg(QLatin1String(name)).arg(
            std::chrono::duration<double, std::milli>(now - mark).count(), 0, 'f', 1);
        mark = now;
    };
    auto s = std::make_shared<PressSnapshot>();
    s->hold = hold;
    s->point = point;
    s->desktopWindow = m_desktop->desktopWindow();
    s->windowAt = m_desktop->windowAt(point);
    const WindowId top = m_desktop->topLevelWindow(s->windowAt);
    if (top && top != s->desktopWindow && m_desktop->processId(top) == getpid()) {
        s->hold = PressSnapshot::Hold::OwnWindow;
        return s;
    }
    // The picture, then the pointer: what changes soonest.
    s->screenSize = m_screen->screenSize();
    s->monitors = m_screen->monitors();
    s->screenArea = areaAt(point, s->screenSize, s->monitors, area);
    s->screen = m_screen->copy(s->screenArea);
    phase("screen");
    s->cursor = m_cursor->currentCursor();
    addWindows(*s, top, !area.around);
    phase("pointer+windows");
    if (elementBudgetMs > 0) {
        m_accessibility->limitNextQuery(elementBudgetMs);
        // The release has reached the application before the end of a drag
        // is read: a menu the release closed may be gone already.
        Display* dpy = m_desktop->display();
        const WindowId pressWindow = dragStart ? dragStart->window : 0;
        const WindowId elementIn =
            pressWindow && top != pressWindow &&
                    (!m_desktop->windowExists(top) || isPopupWindow(dpy, top)) &&
                    !isPopupWindow(dpy, pressWindow)
                ? pressWindow
                : 0;
        s->elementWindow = elementIn;
        // A drag that ends in the window it started in keeps the title it had
        // at the press: the application may have changed it for the release
        // (an item of the menu the press opened). Otherwise the title of the
        // window at the point when the picture was taken, whatever the
        // application has mapped there since.
        QString title;
        if (pressWindow && (elementIn || top == pressWindow))
            title = dragStart->title;
        else if (top && top != s->desktopWindow)
            title = m_desktop->windowTitle(top);
        const NamedElement named = nameHit(
            *m_accessibility,
            elementIn ? m_accessibility->objectAtPointIn(point, elementIn)
                      : m_accessibility->objectAtPoint(point),
            title);
        s->elementFound = named.found;
        s->element = named.info;
        s->elementKey = named.key;
        s->elementHitKey = named.hitKey;
        s->elementTimedOut = named.timedOut;
        phase("element");
    }
    if (area.redact && textBudgetMs > 0) {
        if (area.redactKinds != m_rulesKinds || area.redactWords != m_rulesWords) {
            m_rules = std::make_unique<RedactionRules>(true, area.redactKinds, area.redactWords);
            m_rulesKinds = area.redactKinds;
            m_rulesWords = area.redactWords;
        }
        s->texts = std::make_shared<const ScreenTextScan>(
            m_texts->textsIn(point, s->screenArea, *m_rules, textBudgetMs));
        phase("texts");
    }
    if (hookthread::tracing())
        fprintf(stderr, "hook: snapshot %dx%d:%s\n", s->screenArea.width(), s->screenArea.height(),
                qPrintable(phases));
    return s;
}

} // namespace klavoro::x11
