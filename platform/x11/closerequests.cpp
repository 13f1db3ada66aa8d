#include "platform/x11/closerequests.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace klavoro::x11 {

CloseRequests::CloseRequests(std::function<bool(WindowId)> onClose)
    : m_onClose(std::move(onClose)) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* dpy = x11 ? x11->display() : nullptr;
    if (!dpy) return; // not on X11: nothing to watch
    m_protocols = static_cast<quint32>(XInternAtom(dpy, "WM_PROTOCOLS", False));
    m_delete = static_cast<quint32>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    qGuiApp->installNativeEventFilter(this);
}

CloseRequests::~CloseRequests() {
    if (qGuiApp) qGuiApp->removeNativeEventFilter(this);
}

bool CloseRequests::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!m_delete || eventType != "xcb_generic_event_t" || !m_onClose) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format != 32 || client->type != m_protocols ||
        client->data.data32[0] != m_delete)
        return false;
    return m_onClose(client->window);
}

} // namespace klavoro::x11
