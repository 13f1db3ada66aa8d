#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

namespace klavoro {

// A cursor file (.cur): its picture and the hot spot stored in its header.
struct CursorFile {
    QImage image; // null when the file is missing or unreadable
    QPoint hotSpot;
};
CursorFile loadCursorFile(const QString& path);

// Where the fixed pointer picture of `mouse file` is looked up: the cursors
// folder of the shipped files.
QString cursorFilePath(const QString& mouseFile);

} // namespace klavoro
