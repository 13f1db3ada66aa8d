#include "ui/trayicon.h"

#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace klavoro {
namespace {

// A sheet with step lines; while a step is taken a red dot covers its corner.
QPixmap drawIcon(int size, bool capturing) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = size / 16.0;
    QPainterPath sheet;
    sheet.addRoundedRect(QRectF(2 * u, 1 * u, 12 * u, 14 * u), 2 * u, 2 * u);
    p.fillPath(sheet, QColor(0x1e, 0x5a, 0xa8));
    p.setPen(QPen(Qt::white, qMax(1.0, 1.2 * u), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        const qreal y = (4 + 3 * i) * u;
        p.drawPoint(QPointF(4.5 * u, y));
        p.drawLine(QPointF(6.5 * u, y), QPointF(11.5 * u, y));
    }
    if (capturing) {
        p.setPen(QPen(Qt::white, qMax(1.0, u)));
        p.setBrush(QColor(0xe0, 0x20, 0x20));
        p.drawEllipse(QPointF(11 * u, 11 * u), 4.2 * u, 4.2 * u);
    }
    return pixmap;
}

QIcon makeIcon(bool capturing) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(drawIcon(size, capturing));
    return icon;
}

} // namespace

QIcon TrayIcon::normalIcon() {
    return makeIcon(false);
}

QIcon TrayIcon::capturingIcon() {
    return makeIcon(true);
}

TrayIcon::TrayIcon(std::function<QWidget*()> window, Hooks hooks)
    : m_window(std::move(window)), m_hooks(std::move(hooks)) {
    m_icon.setIcon(normalIcon());
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activated);
}

TrayIcon::~TrayIcon() {
    m_icon.hide();
}

QWidget* TrayIcon::window() const {
    return m_window ? m_window() : nullptr;
}

bool TrayIcon::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIcon::add(const QString& tip) {
    if (!isAvailable()) {
        if (!m_missingReported && m_hooks.status) {
            m_missingReported = true;
            m_hooks.status(
                QStringLiteral("通知領域（トレイ）がないため、ウィンドウを最小化しました。"));
        }
        m_minimisedInstead = true;
        if (QWidget* w = window()) w->showMinimized();
        return false;
    }
    m_icon.setToolTip(tip);
    m_icon.setIcon(m_capturing ? capturingIcon() : normalIcon());
    m_icon.show();
    if (QWidget* w = window()) w->hide();
    return true;
}

void TrayIcon::setTip(const QString& tip) {
    m_icon.setToolTip(tip);
}

void TrayIcon::setCapturing(bool capturing) {
    if (capturing == m_capturing) return;
    m_capturing = capturing;
    m_icon.setIcon(capturing ? capturingIcon() : normalIcon());
}

void TrayIcon::remove(bool showWindow) {
    m_icon.hide();
    const bool minimised = m_minimisedInstead;
    m_minimisedInstead = false;
    QWidget* w = window();
    if (!showWindow || !w) return;
    if (m_hooks.reselect) m_hooks.reselect();
    if (minimised)
        w->showNormal();
    else
        w->show();
    w->raise();
    w->activateWindow();
}

bool TrayIcon::isShown() const {
    return m_icon.isVisible();
}

QRect TrayIcon::geometry() const {
    return m_icon.isVisible() ? m_icon.geometry() : QRect();
}

void TrayIcon::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) {
        remove(true);
    } else if (reason == QSystemTrayIcon::Context && m_hooks.menu) {
        if (QMenu* menu = m_hooks.menu()) menu->popup(QCursor::pos());
    }
}

} // namespace klavoro
