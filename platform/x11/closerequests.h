#pragma once

#include "platform/desktop.h"

#include <QAbstractNativeEventFilter>

#include <functional>

namespace klavoro::x11 {

// The window manager's close requests (WM_DELETE_WINDOW) for the program's
// windows, seen before Qt handles them. Qt drops a close of a window that a
// modal dialog blocks; a close the user asked for during a long operation
// must not be lost that way. `onClose` returns true when it takes the
// request over; then Qt never sees it.
class CloseRequests : public QAbstractNativeEventFilter {
public:
    explicit CloseRequests(std::function<bool(WindowId)> onClose);
    ~CloseRequests() override;
    CloseRequests(const CloseRequests&) = delete;
    CloseRequests& operator=(const CloseRequests&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<bool(WindowId)> m_onClose;
    quint32 m_protocols = 0;
    quint32 m_delete = 0;
};

} // namespace klavoro::x11
