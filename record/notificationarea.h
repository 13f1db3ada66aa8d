#pragma once

#include <QString>

namespace klavoro {

// The program's icon in the desktop's notification area (the tray).
class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    // False when the desktop has no notification area.
    virtual bool isAvailable() const = 0;
    // Shows the icon with a tip and hides the main window into it. False
    // when it could not (no notification area): the window then stays
    // reachable (minimised, not hidden).
    virtual bool add(const QString& tip) = 0;
    virtual void setTip(const QString& tip) = 0;
    // The capturing picture while a step is taken, the normal one otherwise.
    virtual void setCapturing(bool capturing) = 0;
    // Removes the icon; with `showWindow` the main window comes back and the
    // current step is selected again.
    virtual void remove(bool showWindow = true) = 0;
    virtual bool isShown() const = 0;
};

// A desktop without a notification area, or a graph that needs none.
class NoNotificationArea : public NotificationArea {
public:
    bool isAvailable() const override { return false; }
    bool add(const QString&) override { return false; }
    void setTip(const QString&) override {}
    void setCapturing(bool) override {}
    void remove(bool) override {}
    bool isShown() const override { return false; }
};

} // namespace klavoro
