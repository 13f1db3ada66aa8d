#include "store/events.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace klavoro {

void letEventsRun() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void waitMs(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QThread::msleep(10);
        letEventsRun();
    }
}

} // namespace klavoro
