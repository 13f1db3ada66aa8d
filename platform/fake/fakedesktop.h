#pragma once

#include "platform/desktop.h"

#include <QHash>
#include <QList>

namespace klavoro {

// A scripted desktop for unit tests: windows with rectangles, classes and
// titles, a pointer, the active and the focused window.
struct FakeWindow {
    WindowId id = 0;
    WindowId parent = 0; // 0: a top-level window
    WindowId owner = 0;
    QRect rect; // screen coordinates
    QString className;
    QString title;
    qint64 pid = 0;
    int opacity = 255;
};

class FakeDesktop : public Desktop {
public:
    static constexpr WindowId kDesktopWindow = 1;

    // Windows added later lie above those added earlier.
    void addWindow(const FakeWindow& window);
    void removeWindow(WindowId id);
    void setPointer(QPoint p) { m_pointer = p; }
    void setScreenSize(QSize s) { m_screen = s; }
    void setForeground(WindowId id) { m_foreground = id; }
    void setFocus(WindowId id) { m_focus = id; }
    // Every setForegroundWindow / setTopMost call, in order.
    QList<WindowId> foregroundRequests;
    QList<QPair<WindowId, bool>> topMostRequests;

    QList<WindowId> findTopLevelWindows(const QString& titlePart) override;
    bool windowExists(WindowId window) override { return m_windows.contains(window); }
    void setForegroundWindow(WindowId window) override;
    void setTopMost(WindowId window, bool topMost) override {
        topMostRequests.append({window, topMost});
    }
    QPoint pointerPosition() override { return m_pointer; }
    QSize screenSize() override { return m_screen; }
    WindowId desktopWindow() override { return kDesktopWindow; }
    WindowId windowAt(QPoint screenPoint) override;
    WindowId parent(WindowId window) override;
    WindowId owner(WindowId window) override;
    WindowId topLevelWindow(WindowId window) override;
    QString className(WindowId window) override;
    QString windowTitle(WindowId window) override;
    QRect windowRect(WindowId window) override;
    WindowId foregroundWindow() override { return m_foreground; }
    WindowId focusedWindow() override { return m_focus; }
    qint64 processId(WindowId window) override;
    bool setWindowOpacity(WindowId window, int alpha) override;
    int windowOpacity(WindowId window) override;
    bool windowManagerRunning() override { return windowManager; }
    bool windowManager = true;

private:
    const FakeWindow* find(WindowId id) const;
    WindowId deepestAt(WindowId parent, QPoint p) const;

    QList<FakeWindow> m_stack;      // stacking order, bottom first
    QHash<WindowId, int> m_windows; // id -> index in m_stack
    QPoint m_pointer;
    QSize m_screen{1280, 1024};
    WindowId m_foreground = 0;
    WindowId m_focus = 0;
};

} // namespace klavoro
