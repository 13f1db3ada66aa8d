#include "platform/fake/fakedesktop.h"

namespace klavoro {

void FakeDesktop::addWindow(const FakeWindow& window) {
    removeWindow(window.id);
    m_windows.insert(window.id, static_cast<int>(m_stack.size()));
    m_stack.append(window);
}

void FakeDesktop::removeWindow(WindowId id) {
    if (!m_windows.contains(id)) return;
    m_stack.removeAt(m_windows.value(id));
    m_windows.clear();
    for (int i = 0; i < m_stack.size(); ++i)
        m_windows.insert(m_stack[i].id, i);
}

const FakeWindow* FakeDesktop::find(WindowId id) const {
    const auto it = m_windows.constFind(id);
    return it == m_windows.constEnd() ? nullptr : &m_stack[*it];
}

QList<WindowId> FakeDesktop::findTopLevelWindows(const QString& titlePart) {
    QList<WindowId> found;
    for (const FakeWindow& w : m_stack)
        if (w.parent == 0 && w.title.contains(titlePart)) found.append(w.id);
    return found;
}

void FakeDesktop::setForegroundWindow(WindowId window) {
    foregroundRequests.append(window);
    if (find(window)) m_foreground = window;
}

WindowId FakeDesktop::deepestAt(WindowId parent, QPoint p) const {
    for (auto it = m_stack.crbegin(); it != m_stack.crend(); ++it)
        if (it->parent == parent && it->rect.contains(p)) {
            const WindowId inner = deepestAt(it->id, p);
            return inner ? inner : it->id;
        }
    return 0;
}

WindowId FakeDesktop::windowAt(QPoint screenPoint) {
    const WindowId w = deepestAt(0, screenPoint);
    return w ? w : kDesktopWindow;
}

WindowId FakeDesktop::parent(WindowId window) {
    const FakeWindow* w = find(window);
    if (!w) return 0;
    return w->parent ? w->parent : w->owner;
}

WindowId FakeDesktop::owner(WindowId window) {
    const FakeWindow* w = find(window);
    return w ? w->owner : 0;
}

WindowId FakeDesktop::topLevelWindow(WindowId window) {
    if (window == kDesktopWindow) return kDesktopWindow;
    const FakeWindow* w = find(window);
    while (w && w->parent)
        w = find(w->parent);
    return w ? w->id : 0;
}

QString FakeDesktop::className(WindowId window) {
    const FakeWindow* w = find(window);
    return w ? w->className : QString();
}

QString FakeDesktop::windowTitle(WindowId window) {
    const FakeWindow* w = find(window);
    return w ? w->title : QString();
}

QRect FakeDesktop::windowRect(WindowId window) {
    if (window == kDesktopWindow) return QRect(QPoint(0, 0), m_screen);
    const FakeWindow* w = find(window);
    return w ? w->rect : QRect();
}

qint64 FakeDesktop::processId(WindowId window) {
    const FakeWindow* w = find(topLevelWindow(window));
    return w ? w->pid : 0;
}

bool FakeDesktop::setWindowOpacity(WindowId window, int alpha) {
    if (!m_windows.contains(window)) return false;
    m_stack[m_windows.value(window)].opacity = qBound(0, alpha, 255);
    return true;
}

int FakeDesktop::windowOpacity(WindowId window) {
    const FakeWindow* w = find(window);
    return w ? w->opacity : 255;
}

} // namespace klavoro
