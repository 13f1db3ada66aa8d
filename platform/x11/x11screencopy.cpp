#include "platform/x11/x11screencopy.h"

#include "platform/x11/x11monitors.h"
#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

namespace klavoro::x11 {

struct X11ScreenCopy::Segment {
    XShmSegmentInfo info{};
};

X11ScreenCopy::X11ScreenCopy() : m_shm(std::make_unique<Segment>()) {
    m_display = openDisplay(&m_error);
    m_monitors = std::make_unique<RandrMonitors>(m_display);
}

X11ScreenCopy::~X11ScreenCopy() {
    if (m_shmAttached) {
        XErrorTrap trap(m_display);
        XShmDetach(m_display, &m_shm->info);
        trap.failed();
        shmdt(m_shm->info.shmaddr);
    }
    if (m_display) XCloseDisplay(m_display);
}

QSize X11ScreenCopy::screenSize() {
    if (!m_display) return {};
    const int screen = DefaultScreen(m_display);
    return {DisplayWidth(m_display, screen), DisplayHeight(m_display, screen)};
}

QList<QRect> X11ScreenCopy::monitors() {
    const QRect whole(QPoint(0, 0), screenSize());
    QList<QRect> found = m_monitors->query();
    // A monitor reaching past the screen (a stale layout) is cut to it.
    QList<QRect> result;
    for (const QRect& m : found)
        if (const QRect onScreen = m.intersected(whole); !onScreen.isEmpty()) result << onScreen;
    if (result.isEmpty() && !whole.isEmpty()) result << whole;
    return result;
}

bool X11ScreenCopy::attachSharedMemory() {
    m_shmTried = true;
    if (!XShmQueryExtension(m_display)) {
        m_error = QStringLiteral("No MIT-SHM: screen copies use the slower XGetImage.");
        return false;
    }
    const int screen = DefaultScreen(m_display);
    XImage* probe = XShmCreateImage(
        m_display, DefaultVisual(m_display, screen), DefaultDepth(m_display, screen), ZPixmap,
        nullptr, &m_shm->info, DisplayWidth(m_display, screen), DisplayHeight(m_display, screen));
    if (!probe) return false;
    m_shmSize = static_cast<size_t>(probe->bytes_per_line) * static_cast<size_t>(probe->height);
    XDestroyImage(probe);
    m_shm->info.shmid = shmget(IPC_PRIVATE, m_shmSize, IPC_CREAT | 0600);
    if (m_shm->info.shmid < 0) return false;
    m_shm->info.shmaddr = static_cast<char*>(shmat(m_shm->info.shmid, nullptr, 0));
    m_shm->info.readOnly = False;
    if (m_shm->info.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(m_shm->info.shmid, IPC_RMID, nullptr);
        return false;
    }
    XErrorTrap trap(m_display);
    XShmAttach(m_display, &m_shm->info);
    const bool failed = trap.failed();
    // Marked for removal now: it goes away with the last detach, even after a crash.
    shmctl(m_shm->info.shmid, IPC_RMID, nullptr);
    if (failed) {
        shmdt(m_shm->info.shmaddr);
        m_error = QStringLiteral(
            "The X server cannot attach shared memory: screen copies use XGetImage.");
        return false;
    }
    m_shmAttached = true;
    return true;
}

QImage X11ScreenCopy::copy(const QRect& area) {
    if (!m_display) return {};
    const QRect r = area.intersected(QRect(QPoint(0, 0), screenSize()));
    if (r.isEmpty()) return {};
    if (!m_shmTried) attachSharedMemory();
    QImage image = m_shmAttached ? copyShared(r) : QImage();
    return image.isNull() ? copyPlain(r) : image;
}

QImage X11ScreenCopy::copyShared(const QRect& r) {
    const int screen = DefaultScreen(m_display);
    XImage* image =
        XShmCreateImage(m_display, DefaultVisual(m_display, screen),
                        DefaultDepth(m_display, screen), ZPixmap, m_shm->info.shmaddr, &m_shm->info,
                        static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()));
    if (!image) return {};
    QImage result;
    XErrorTrap trap(m_display);
    if (XShmGetImage(m_display, DefaultRootWindow(m_display), image, r.x(), r.y(), AllPlanes) &&
        !trap.failed())
        result = toQImage(image);
    image->data = nullptr; // the segment is ours, not the image's
    XDestroyImage(image);
    return result;
}

QImage X11ScreenCopy::copyPlain(const QRect& r) {
    XErrorTrap trap(m_display);
    XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), r.x(), r.y(),
                              static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()),
                              AllPlanes, ZPixmap);
    if (trap.failed() || !image) {
        if (image) XDestroyImage(image);
        return {};
    }
    QImage result = toQImage(image);
    XDestroyImage(image);
    return result;
}

QImage X11ScreenCopy::toQImage(XImage* image) const {
    QImage out(image->width, image->height, QImage::Format_RGB32);
    if (out.isNull()) return out;
    if (image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
        image->blue_mask == 0xFF && image->byte_order == LSBFirst) {
        // The common 24-bit visual lays pixels out exactly as Format_RGB32.
        const size_t rowBytes = static_cast<size_t>(image->width) * 4;
        for (int y = 0; y < image->height; ++y)
            std::memcpy(out.scanLine(y),
                        image->data + static_cast<size_t>(y) * image->bytes_per_line, rowBytes);
        return out;
    }
    // Any other visual: slow, but correct.
    const auto channel = [](unsigned long pixel, unsigned long mask) -> int {
        if (mask == 0) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const unsigned long max = mask >> shift;
        return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
    };
    for (int y = 0; y < image->height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            line[x] = qRgb(channel(p, image->red_mask), channel(p, image->green_mask),
                           channel(p, image->blue_mask));
        }
    }
    return out;
}

} // namespace klavoro::x11
