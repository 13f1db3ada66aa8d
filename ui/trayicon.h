#pragma once

#include "record/notificationarea.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>

class QMenu;
class QWidget;

namespace klavoro {

// The program's icon in the desktop's notification area (XEmbed tray or
// StatusNotifier, whichever Qt finds). Where the desktop has none, the window
// is minimised instead, so that it stays reachable from the task bar.
class TrayIcon : public QObject, public NotificationArea {
    Q_OBJECT
public:
    struct Hooks {
        std::function<QMenu*()> menu;               // the main window's pop-up menu
        std::function<void(const QString&)> status; // the status line
        std::function<void()> reselect;             // select the current step again
    };
    // `window` names the main window the icon hides and brings back.
    TrayIcon(std::function<QWidget*()> window, Hooks hooks);
    ~TrayIcon() override;

    bool isAvailable() const override;
    bool add(const QString& tip) override;
    void setTip(const QString& tip) override;
    void setCapturing(bool capturing) override;
    void remove(bool showWindow = true) override;
    bool isShown() const override;

    // Screen rectangle of the icon; empty when not shown.
    QRect geometry() const;
    bool isCapturing() const { return m_capturing; }

    // Drawn here, so the program needs no icon files.
    static QIcon normalIcon();
    static QIcon capturingIcon();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QWidget* window() const;

    std::function<QWidget*()> m_window;
    Hooks m_hooks;
    QSystemTrayIcon m_icon;
    bool m_capturing = false;
    bool m_minimisedInstead = false;
    bool m_missingReported = false;
};

} // namespace klavoro
