#include "platform/win32/win32closerequests.h"

#include "platform/win32/win32handles.h"

#include <QGuiApplication>

namespace klavoro::win32 {

Win32CloseRequests::Win32CloseRequests(std::function<bool(WindowId)> onClose)
    : m_onClose(std::move(onClose)) {
    if (qGuiApp) qGuiApp->installNativeEventFilter(this);
}

Win32CloseRequests::~Win32CloseRequests() {
    if (qGuiApp) qGuiApp->removeNativeEventFilter(this);
}

bool Win32CloseRequests::nativeEventFilter(const QByteArray& eventType, void* message,
                                           qintptr* result) {
    if (eventType != "windows_generic_MSG" || !m_onClose || !message) return false;
    const auto* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_CLOSE || !msg->hwnd || GetAncestor(msg->hwnd, GA_ROOT) != msg->hwnd)
        return false;
    if (!m_onClose(toId(msg->hwnd))) return false;
    if (result) *result = 0;
    return true;
}

} // namespace klavoro::win32
