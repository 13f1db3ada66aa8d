#pragma once

#include "platform/desktop.h"

namespace klavoro::win32 {

// Window queries with the window manager's own calls. A WindowId is the HWND
// value. The screen is the virtual screen of all monitors; on a desktop where
// a monitor lies left of or above the primary one its points are negative.
class Win32Desktop : public Desktop {
public:
    QList<WindowId> findTopLevelWindows(const QString& titlePart) override;
    bool windowExists(WindowId window) override;
    void setForegroundWindow(WindowId window) override;
    void setTopMost(WindowId window, bool topMost) override;

    QPoint pointerPosition() override;
    QSize screenSize() override;
    WindowId desktopWindow() override;
    WindowId windowAt(QPoint screenPoint) override;
    WindowId parent(WindowId window) override;
    WindowId owner(WindowId window) override;
    WindowId topLevelWindow(WindowId window) override;
    QString className(WindowId window) override;
    QString windowTitle(WindowId window) override;
    QRect windowRect(WindowId window) override;
    QRect contentRect(WindowId window) override;
    WindowId foregroundWindow() override;
    WindowId focusedWindow() override;
    qint64 processId(WindowId window) override;
    bool setWindowOpacity(WindowId window, int alpha) override;
    int windowOpacity(WindowId window) override;
};

} // namespace klavoro::win32
