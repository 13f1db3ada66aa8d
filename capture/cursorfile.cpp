#include "capture/cursorfile.h"

#include "store/programfolder.h"

#include <QFile>

namespace klavoro {

CursorFile loadCursorFile(const QString& path) {
    CursorFile c;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return c;
    const QByteArray head = f.read(14);
    f.close();
    c.image = QImage(path, "cur").convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Directory entry of the first picture: for a cursor, bytes 10..13 of the
    // file hold the hot spot instead of planes and bit count.
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    if (head.size() == 14 && p[2] == 2 && p[3] == 0)
        c.hotSpot = QPoint(p[10] | (p[11] << 8), p[12] | (p[13] << 8));
    return c;
}

QString cursorFilePath(const QString& mouseFile) {
    return shippedFilesFolder() + QStringLiteral("cursors/") + mouseFile;
}

} // namespace klavoro
