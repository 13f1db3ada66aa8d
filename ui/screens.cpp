#include "ui/screens.h"

#include "record/runmode.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace klavoro {

namespace {
QRect whole() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->virtualGeometry() : QRect(0, 0, 1280, 1024);
}
} // namespace

QList<ScaledMonitor> scaledMonitors() {
    QList<ScaledMonitor> result;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* s : QGuiApplication::screens()) {
        const ScaledMonitor m{s->geometry(), s->devicePixelRatio()};
        if (s == primary)
            result.prepend(m);
        else
            result.append(m);
    }
    return result;
}

QList<QRect> monitorRects() {
    QList<QRect> result;
    for (const ScaledMonitor& m : scaledMonitors())
        result << m.logical;
    return result;
}

QRect monitorOf(const QWidget* window) {
    const QList<QRect> monitors = monitorRects();
    if (!window) return primaryMonitor(monitors, whole());
    return monitorOfWindow(monitors, window->frameGeometry(), whole());
}

QRect monitorAtPointer() {
    return monitorAt(monitorRects(), QCursor::pos(), whole());
}

QRect noticeMonitor(const QWidget* mainWindow) {
    return runMode().is(kRunGo) ? monitorAtPointer() : monitorOf(mainWindow);
}

QRect pixelsToWindowUnits(const QRect& pixels) {
    return toLogical(scaledMonitors(), pixels);
}

} // namespace klavoro
