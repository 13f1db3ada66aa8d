#include "platform/win32/win32snapshottaker.h"

#include "capture/capturearea.h"
#include "capture/monitorlayout.h"
#include "platform/win32/win32cursor.h"
#include "platform/win32/win32desktop.h"
#include "platform/win32/win32screencopy.h"

#include <windows.h>

#include <cmath>

namespace klavoro::win32 {

QRect pressAreaAt(QPoint point, QSize screen, const QList<QRect>& monitors, const PressArea& area) {
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

Win32SnapshotTaker::Win32SnapshotTaker()
    : m_desktop(std::make_unique<Win32Desktop>()), m_screen(std::make_unique<Win32ScreenCopy>()),
      m_cursor(std::make_unique<Win32Cursor>()) {}

Win32SnapshotTaker::~Win32SnapshotTaker() = default;

bool Win32SnapshotTaker::isOwnWindowAt(QPoint point) {
    const WindowId top = m_desktop->topLevelWindow(m_desktop->windowAt(point));
    return top && top != m_desktop->desktopWindow() &&
           m_desktop->processId(top) == qint64(GetCurrentProcessId());
}

void Win32SnapshotTaker::addWindows(PressSnapshot& s, WindowId top, bool full) {
    Win32Desktop& d = *m_desktop;
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
    for (int depth = 0; w && w != s.desktopWindow && depth < 16; ++depth) {
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

std::shared_ptr<PressSnapshot> Win32SnapshotTaker::take(QPoint point, PressSnapshot::Hold hold,
                                                        const PressArea& area) {
    auto s = std::make_shared<PressSnapshot>();
    s->hold = hold;
    s->point = point;
    s->desktopWindow = m_desktop->desktopWindow();
    s->windowAt = m_desktop->windowAt(point);
    const WindowId top = m_desktop->topLevelWindow(s->windowAt);
    if (top && top != s->desktopWindow &&
        m_desktop->processId(top) == qint64(GetCurrentProcessId())) {
        s->hold = PressSnapshot::Hold::OwnWindow;
        return s;
    }
    // The picture, then the pointer: what changes soonest.
    s->screenSize = m_screen->screenSize();
    s->monitors = m_screen->monitors();
    s->screenArea = pressAreaAt(point, s->screenSize, s->monitors, area);
    s->screen = m_screen->copy(s->screenArea);
    s->cursor = m_cursor->currentCursor();
    addWindows(*s, top, !area.around);
    return s;
}

} // namespace klavoro::win32
