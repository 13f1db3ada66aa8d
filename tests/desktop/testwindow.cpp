#include "testwindow.h"

#include "store/settings.h"
#include "ui/frmklavoro.h"

namespace klavoro::test {

void StatusLineNotices::showProgress(const QString& text, int, bool) {
    if (conf().noProgress == 1 || text.isEmpty()) return;
    if (frmKlavoro* w = m_window()) w->setStatus(text);
}

TestWindow::TestWindow(const Options& o)
    : m_qtDialogs([this]() -> QWidget* { return m_window; }),
      m_statusNotices([this] { return m_window; }) {
    m_graph = std::make_unique<MainWindowGraph>(MainWindowGraph::Services{
        .platform = o.platform ? *o.platform : m_noPlatform,
        .dialogs = o.dialogs ? *o.dialogs : static_cast<Dialogs&>(m_qtDialogs),
        .notices = o.notices ? *o.notices : static_cast<Notices&>(m_statusNotices),
        .tray = o.tray ? *o.tray : static_cast<NotificationArea&>(m_noTray),
    });
    m_window = &m_graph->window();
}

TestWindow::~TestWindow() {
    m_graph.reset();
    m_window = nullptr;
}

} // namespace klavoro::test
