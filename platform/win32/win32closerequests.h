#pragma once

#include "platform/desktop.h"

#include <QAbstractNativeEventFilter>

#include <functional>

namespace klavoro::win32 {

// WM_CLOSE of the program's top-level windows, seen before Qt handles it. Qt
// drops a close of a window that a modal dialog blocks; a close the user
// asked for during a long operation must not be lost that way. `onClose`
// returns true when it takes the request over; then Qt never sees it.
class Win32CloseRequests : public QAbstractNativeEventFilter {
public:
    explicit Win32CloseRequests(std::function<bool(WindowId)> onClose);
    ~Win32CloseRequests() override;
    Win32CloseRequests(const Win32CloseRequests&) = delete;
    Win32CloseRequests& operator=(const Win32CloseRequests&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<bool(WindowId)> m_onClose;
};

} // namespace klavoro::win32
