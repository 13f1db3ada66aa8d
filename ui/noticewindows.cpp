#include "ui/noticewindows.h"

#include "store/events.h"
#include "store/settings.h"
#include "ui/frmpopup.h"
#include "ui/frmsplash.h"
#include "ui/screens.h"

#include <QWidget>

namespace klavoro {

NoticeWindows::NoticeWindows(std::function<QWidget*()> mainWindow)
    : m_main(std::move(mainWindow)) {}

NoticeWindows::~NoticeWindows() = default;

bool NoticeWindows::isProgressShowing() const {
    return m_splash && m_splash->isVisible();
}

bool NoticeWindows::isPopupShowing() const {
    return m_popup && m_popup->isVisible();
}

void NoticeWindows::showProgress(const QString& text, int displayMs, bool centred) {
    // An empty text closes the window even while notices are off, so that an
    // operation never leaves one behind.
    if (text.isEmpty()) {
        if (m_splash) m_splash->unload();
        return;
    }
    if (conf().noProgress != 0) return;
    if (displayMs > 0 && isProgressShowing()) m_splash->unload();
    if (isProgressShowing()) {
        m_splash->setMessage(text);
    } else {
        if (!m_splash) m_splash = std::make_unique<frmSplash>();
        m_splash->load(text, displayMs);
        if (!centred) {
            QRect r = m_splash->frameGeometry();
            r.moveCenter(monitorOf(m_main ? m_main() : nullptr).center());
            m_splash->move(r.topLeft());
        }
    }
    if (centred) centreOverMainWindow();
    letEventsRun();
}

void NoticeWindows::centreOverMainWindow() {
    const QWidget* main = m_main ? m_main() : nullptr;
    if (!main || !m_splash) return;
    QRect r = m_splash->frameGeometry();
    r.moveCenter(main->frameGeometry().center());
    m_splash->move(r.topLeft());
}

void NoticeWindows::showPopup(const QString& text, qint32 colour) {
    if (conf().noProgress != 0) return;
    if (!m_popup) m_popup = std::make_unique<frmPopup>();
    m_popup->load(text, colour, conf().timeAutoClose * 1000,
                  noticeMonitor(m_main ? m_main() : nullptr));
}

void NoticeWindows::closePopup() {
    if (m_popup) m_popup->unload();
}

} // namespace klavoro
