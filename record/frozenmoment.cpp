#include "record/frozenmoment.h"

namespace klavoro {

QPoint FrozenDesktop::pointerPosition() {
    return m_snapshot ? m_snapshot->point : m_live.pointerPosition();
}

QSize FrozenDesktop::screenSize() {
    return m_snapshot && m_snapshot->screenSize.isValid() ? m_snapshot->screenSize
                                                          : m_live.screenSize();
}

WindowId FrozenDesktop::desktopWindow() {
    return m_snapshot && m_snapshot->desktopWindow ? m_snapshot->desktopWindow
                                                   : m_live.desktopWindow();
}

WindowId FrozenDesktop::windowAt(QPoint screenPoint) {
    if (m_snapshot && m_snapshot->windowAt && screenPoint == m_snapshot->point)
        return m_snapshot->windowAt;
    return m_live.windowAt(screenPoint);
}

WindowId FrozenDesktop::parent(WindowId window) {
    const WindowFact* f = fact(window);
    return f ? f->parent : m_live.parent(window);
}

WindowId FrozenDesktop::topLevelWindow(WindowId window) {
    const WindowFact* f = fact(window);
    return f ? f->topLevel : m_live.topLevelWindow(window);
}

QString FrozenDesktop::className(WindowId window) {
    const WindowFact* f = fact(window);
    return f ? f->className : m_live.className(window);
}

QString FrozenDesktop::windowTitle(WindowId window) {
    const WindowFact* f = fact(window);
    return f ? f->title : m_live.windowTitle(window);
}

QRect FrozenDesktop::windowRect(WindowId window) {
    const WindowFact* f = fact(window);
    return f ? f->rect : m_live.windowRect(window);
}

qint64 FrozenDesktop::processId(WindowId window) {
    const WindowFact* f = fact(window);
    return f ? f->processId : m_live.processId(window);
}

CursorImage FrozenCursor::currentCursor() {
    if (m_snapshot && !m_snapshot->cursor.image.isNull()) return m_snapshot->cursor;
    return m_live.currentCursor();
}

} // namespace klavoro
