#include "platform/x11/snapshottaker.h"

#include "describe/elementnaming.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/x11cursor.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11screencopy.h"

#include <unistd.h>

namespace klavoro::x11 {

namespace {
// As the GUI thread's service; a held press cuts the budget shorter.
constexpr int kCallTimeoutMs = 200;
constexpr int kBudgetMs = 240;
} // namespace

SnapshotTaker::SnapshotTaker()
    : m_desktop(std::make_unique<X11Desktop>()), m_screen(std::make_unique<X11ScreenCopy>()),
      m_cursor(std::make_unique<X11Cursor>()),
      m_accessibility(std::make_unique<AtspiAccessibility>(*m_desktop, kCallTimeoutMs, kBudgetMs,
                                                           true)) {}

SnapshotTaker::~SnapshotTaker() = default;

bool SnapshotTaker::isOwnWindowAt(QPoint point) {
    const WindowId top = m_desktop->topLevelWindow(m_desktop->windowAt(point));
    return top && top != m_desktop->desktopWindow() && m_desktop->processId(top) == getpid();
}

void SnapshotTaker::prepare(QPoint point) {
    m_accessibility->prepare(point);
}

void SnapshotTaker::addWindows(PressSnapshot& s) {
    X11Desktop& d = *m_desktop;
    WindowId w = s.windowAt;
    // The window at the point, its parents up to its top-level window, and
    // that window's owner: what the capture targets ask about.
    for (int depth = 0; w && w != s.desktopWindow && depth < 8; ++depth) {
        WindowFact f;
        f.id = w;
        f.parent = d.parent(w);
        f.topLevel = d.topLevelWindow(w);
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
                                                   int elementBudgetMs) {
    auto s = std::make_shared<PressSnapshot>();
    s->hold = hold;
    s->point = point;
    // The picture first: it is what changes soonest.
    s->screenSize = m_screen->screenSize();
    s->screen = m_screen->copy(QRect(QPoint(0, 0), s->screenSize));
    s->cursor = m_cursor->currentCursor();
    s->desktopWindow = m_desktop->desktopWindow();
    s->windowAt = m_desktop->windowAt(point);
    addWindows(*s);
    if (elementBudgetMs > 0) {
        m_accessibility->limitNextQuery(elementBudgetMs);
        const NamedElement named = nameElementAt(*m_accessibility, *m_desktop, point);
        s->elementFound = named.found;
        s->element = named.info;
        s->elementKey = named.key;
        s->elementTimedOut = named.timedOut;
    }
    return s;
}

} // namespace klavoro::x11
