#pragma once

#include <QByteArrayView>
#include <QString>

namespace klavoro {

// What the image-size probe reads from a file's header.
struct ImageSize {
    enum Type { Unknown = 0, Bmp = 1, Gif = 2, Jpeg = 3, Png = 4 };
    qint32 type = Unknown;
    qint32 width = 0;
    qint32 height = 0;
    qint32 depth = 0;
};

// Hint 0: the type from the file's first bytes; hint 5: from the file name.
// A missing, short or unreadable file gives type 0.
ImageSize probeImageSize(const QString& path, int hint = 0);

// The same on bytes in memory (the whole file, or at least its header).
ImageSize probeImageData(QByteArrayView data, int typeFromName = ImageSize::Unknown);

} // namespace klavoro
