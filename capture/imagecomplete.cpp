#include "capture/imagecomplete.h"

#include <QFile>

#include <cstdlib>

namespace klavoro {
namespace {

quint32 le16(const uchar* p) {
    return p[0] | (p[1] << 8);
}
quint32 le32(const uchar* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24);
}

// Markers after the scan start: FF 00 is a stuffed byte and FF D0..D7 restart
// markers, so FF D9 there can only be the end of the image (a thumbnail
// inside the header comes before the scan and is not looked at).
bool jpegComplete(QByteArrayView d) {
    const auto* p = reinterpret_cast<const uchar*>(d.data());
    qsizetype pos = 2;
    while (d.size() - pos >= 4) {
        if (p[pos] != 0xFF) return false;
        const uchar marker = p[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xDA) break;
        pos += 2 + ((p[pos + 2] << 8) | p[pos + 3]);
    }
    if (d.size() - pos < 4) return false;
    for (qsizetype i = d.size() - 2; i > pos; --i)
        if (p[i] == 0xFF && p[i + 1] == 0xD9) return true;
    return false;
}

// The pixel rows the header declares must all be there.
bool bmpComplete(QByteArrayView header, quint64 fileSize) {
    if (header.size() < 54) return false;
    const auto* p = reinterpret_cast<const uchar*>(header.data());
    const quint32 declared = le32(p + 2);
    if (declared != 0 && fileSize < declared) return false;
    const quint32 compression = le32(p + 30);
    if (compression != 0 && compression != 3) return true; // run-length: size unknown
    const quint64 offset = le32(p + 10);
    const quint64 width = std::abs(static_cast<qint64>(static_cast<qint32>(le32(p + 18))));
    const quint64 height = std::abs(static_cast<qint64>(static_cast<qint32>(le32(p + 22))));
    const quint64 stride = (width * le16(p + 28) + 31) / 32 * 4;
    return fileSize >= offset + stride * height;
}

bool gifComplete(QByteArrayView d) {
    // Writers may pad after the trailer; a cut file ends inside image data.
    for (qsizetype i = d.size() - 1; i >= 13 && i >= d.size() - 16; --i)
        if (d[i] == 0x3B) return true;
    return false;
}

} // namespace

bool isCompleteImageData(QByteArrayView d) {
    if (d.size() >= 2 && uchar(d[0]) == 0xFF && uchar(d[1]) == 0xD8) return jpegComplete(d);
    if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M') return bmpComplete(d, d.size());
    if (d.size() >= 3 && d[0] == 'G' && d[1] == 'I' && d[2] == 'F') return gifComplete(d);
    return true;
}

bool isCompleteImageFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(3);
    const bool jpeg = head.size() >= 2 && uchar(head[0]) == 0xFF && uchar(head[1]) == 0xD8;
    const bool bmp = head.startsWith("BM");
    const bool gif = head.startsWith("GIF");
    if (!jpeg && !bmp && !gif) return true;
    f.seek(0);
    if (bmp) return bmpComplete(f.read(54), f.size()); // no need to read the rows
    return isCompleteImageData(f.readAll());
}

} // namespace klavoro
