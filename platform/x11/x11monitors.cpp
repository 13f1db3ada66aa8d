#include "platform/x11/x11monitors.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace klavoro::x11 {

QList<QRect> RandrMonitors::query() {
    QList<QRect> result;
    if (!m_display) return result;
    if (m_supported < 0) {
        int eventBase = 0, errorBase = 0, major = 0, minor = 0;
        m_supported = XRRQueryExtension(m_display, &eventBase, &errorBase) &&
                      XRRQueryVersion(m_display, &major, &minor) &&
                      (major > 1 || (major == 1 && minor >= 5));
    }
    if (!m_supported) return result;
    int count = 0;
    // get_active: monitors whose outputs are switched off are left out.
    XRRMonitorInfo* info = XRRGetMonitors(m_display, DefaultRootWindow(m_display), True, &count);
    if (!info) return result;
    for (int i = 0; i < count; ++i) {
        const QRect r(info[i].x, info[i].y, info[i].width, info[i].height);
        if (r.isEmpty()) continue;
        if (info[i].primary)
            result.prepend(r);
        else
            result.append(r);
    }
    XRRFreeMonitors(info);
    return result;
}

} // namespace klavoro::x11
