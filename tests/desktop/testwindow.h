#pragma once

#include "app/mainwindowgraph.h"
#include "platform/services.h"
#include "record/notificationarea.h"
#include "store/notices.h"
#include "ui/qtdialogs.h"

#include <memory>

namespace klavoro {
class frmKlavoro;
}

namespace klavoro::test {

// Progress texts in the window's status line: what a test reads instead of
// the notice windows.
class StatusLineNotices : public Notices {
public:
    explicit StatusLineNotices(std::function<frmKlavoro*()> window) : m_window(std::move(window)) {}
    void showProgress(const QString& text, int displayMs = 0, bool centred = false) override;
    void showPopup(const QString&, qint32 = -1) override {}
    void closePopup() override {}

private:
    std::function<frmKlavoro*()> m_window;
};

// The main window in a graph of the test's own, wired as the program wires
// it: no platform services unless given, the questions answered by `dialogs`
// (real message boxes without), progress in the status line, no tray
// unless given.
class TestWindow {
public:
    struct Options {
        Dialogs* dialogs = nullptr;
        PlatformServices* platform = nullptr;
        NotificationArea* tray = nullptr;
        Notices* notices = nullptr;
    };
    TestWindow() : TestWindow(Options{}) {}
    explicit TestWindow(const Options& options);
    ~TestWindow();

    frmKlavoro& window() { return *m_window; }
    MainWindowGraph& graph() { return *m_graph; }

private:
    PlatformServices m_noPlatform;
    QtDialogs m_qtDialogs;
    StatusLineNotices m_statusNotices;
    NoNotificationArea m_noTray;
    frmKlavoro* m_window = nullptr;
    std::unique_ptr<MainWindowGraph> m_graph;
};

} // namespace klavoro::test
