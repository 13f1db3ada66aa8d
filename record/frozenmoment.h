#pragma once

#include "platform/cursorsource.h"
#include "platform/desktop.h"
#include "record/presssnapshot.h"

#include <memory>

namespace klavoro {

// The desktop as a press snapshot saw it: the windows at the press point
// answer as they were then (a dialog that the click closed still stands);
// everything else is asked of the live desktop.
class FrozenDesktop : public Desktop {
public:
    explicit FrozenDesktop(Desktop& live) : m_live(live) {}
    void freeze(std::shared_ptr<const PressSnapshot> snapshot) { m_snapshot = std::move(snapshot); }
    void thaw() { m_snapshot.reset(); }

    QList<WindowId> findTopLevelWindows(const QString& titlePart) override {
        return m_live.findTopLevelWindows(titlePart);
    }
    bool windowExists(WindowId window) override { return m_live.windowExists(window); }
    void setForegroundWindow(WindowId window) override { m_live.setForegroundWindow(window); }
    void setTopMost(WindowId window, bool topMost) override { m_live.setTopMost(window, topMost); }
    QPoint pointerPosition() override;
    QSize screenSize() override;
    WindowId desktopWindow() override;
    WindowId windowAt(QPoint screenPoint) override;
    WindowId parent(WindowId window) override;
    WindowId owner(WindowId window) override { return m_live.owner(window); }
    WindowId topLevelWindow(WindowId window) override;
    QString className(WindowId window) override;
    QString windowTitle(WindowId window) override;
    QRect windowRect(WindowId window) override;
    QRect contentRect(WindowId window) override { return m_live.contentRect(window); }
    WindowId foregroundWindow() override { return m_live.foregroundWindow(); }
    WindowId focusedWindow() override { return m_live.focusedWindow(); }
    qint64 processId(WindowId window) override;
    bool setWindowOpacity(WindowId window, int alpha) override {
        return m_live.setWindowOpacity(window, alpha);
    }
    int windowOpacity(WindowId window) override { return m_live.windowOpacity(window); }
    bool windowManagerRunning() override { return m_live.windowManagerRunning(); }

private:
    const WindowFact* fact(WindowId window) const {
        return m_snapshot ? m_snapshot->window(window) : nullptr;
    }
    Desktop& m_live;
    std::shared_ptr<const PressSnapshot> m_snapshot;
};

// The pointer image of a press snapshot while one is frozen.
class FrozenCursor : public CursorSource {
public:
    explicit FrozenCursor(CursorSource& live) : m_live(live) {}
    void freeze(std::shared_ptr<const PressSnapshot> snapshot) { m_snapshot = std::move(snapshot); }
    void thaw() { m_snapshot.reset(); }
    CursorImage currentCursor() override;

private:
    CursorSource& m_live;
    std::shared_ptr<const PressSnapshot> m_snapshot;
};

} // namespace klavoro
