#pragma once

#include "platform/screencopy.h"

#include "platform/x11/xforward.h"

#include <memory>

struct _XImage;

namespace klavoro::x11 {

class RandrMonitors;

// Screen copies through one shared-memory segment of the screen's size
// (MIT-SHM); plain XGetImage when the extension is missing or the server
// cannot attach the segment (a remote display).
class X11ScreenCopy : public ScreenCopy {
public:
    X11ScreenCopy();
    ~X11ScreenCopy() override;
    X11ScreenCopy(const X11ScreenCopy&) = delete;
    X11ScreenCopy& operator=(const X11ScreenCopy&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    bool usesSharedMemory() const { return m_shmAttached; }
    QString errorText() const { return m_error; }

    QImage copy(const QRect& area) override;
    QSize screenSize() override;
    QList<QRect> monitors() override;

private:
    bool attachSharedMemory();
    QImage copyShared(const QRect& r);
    QImage copyPlain(const QRect& r);
    QImage toQImage(_XImage* image) const;

    Display* m_display = nullptr;
    std::unique_ptr<RandrMonitors> m_monitors;
    QString m_error;
    struct Segment;
    std::unique_ptr<Segment> m_shm;
    bool m_shmAttached = false;
    bool m_shmTried = false;
    size_t m_shmSize = 0;
};

} // namespace klavoro::x11
