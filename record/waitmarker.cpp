#include "record/waitmarker.h"

#include "store/programfolder.h"

#include <QFile>

namespace klavoro {

QString waitMarkerPath() {
    return programFolder() + QStringLiteral("wait");
}

void createWaitMarker() {
    // No events are let run here: it is called in the middle of a step.
    QFile f(waitMarkerPath());
    (void)f.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void deleteWaitMarker() {
    QFile::remove(waitMarkerPath());
}

bool waitMarkerExists() {
    return QFile::exists(waitMarkerPath());
}

} // namespace klavoro
