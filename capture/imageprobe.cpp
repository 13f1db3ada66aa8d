#include "capture/imageprobe.h"

#include "store/textfile.h"

#include <QFile>

namespace klavoro {
namespace {

quint32 le16(const uchar* p) {
    return p[0] | (p[1] << 8);
}
quint32 le32(const uchar* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24);
}
quint32 be16(const uchar* p) {
    return (p[0] << 8) | p[1];
}
quint32 be32(const uchar* p) {
    return (quint32(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

int typeFromHeader(QByteArrayView d) {
    if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M') return ImageSize::Bmp;
    if (d.size() >= 3 && d[0] == 'G' && d[1] == 'I' && d[2] == 'F') return ImageSize::Gif;
    if (d.size() >= 2 && uchar(d[0]) == 0xFF && uchar(d[1]) == 0xD8) return ImageSize::Jpeg;
    if (d.size() >= 4 && uchar(d[0]) == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G')
        return ImageSize::Png;
    return ImageSize::Unknown;
}

int typeFromName(const QString& path) {
    const QString n = path.toLower();
    if (wildcardMatch(QStringLiteral("*.bmp"), n)) return ImageSize::Bmp;
    if (wildcardMatch(QStringLiteral("*.gif"), n)) return ImageSize::Gif;
    if (wildcardMatch(QStringLiteral("*.jpg"), n) || wildcardMatch(QStringLiteral("*.jpeg"), n))
        return ImageSize::Jpeg;
    if (wildcardMatch(QStringLiteral("*.png"), n)) return ImageSize::Png;
    return ImageSize::Unknown;
}

// Walks the JPEG segments from offset 2 to the frame header.
bool jpegFrame(QByteArrayView d, qint32* w, qint32* h) {
    const auto* p = reinterpret_cast<const uchar*>(d.data());
    qsizetype pos = 2;
    while (d.size() - pos >= 4) {
        if (p[pos] != 0xFF) return false;
        const uchar marker = p[pos + 1];
        if ((marker >= 0xC0 && marker <= 0xC3) || (marker >= 0xC9 && marker <= 0xCB)) {
            if (d.size() - pos < 9) return false;
            *h = static_cast<qint32>(be16(p + pos + 5));
            *w = static_cast<qint32>(be16(p + pos + 7));
            return true;
        }
        pos += 2 + be16(p + pos + 2);
    }
    return false;
}

} // namespace

ImageSize probeImageData(QByteArrayView d, int nameType) {
    ImageSize s;
    const int type = nameType != ImageSize::Unknown ? nameType : typeFromHeader(d);
    const auto* p = reinterpret_cast<const uchar*>(d.data());
    switch (type) {
    case ImageSize::Bmp:
        if (d.size() < 30) return s;
        s.width = static_cast<qint32>(le32(p + 18));
        s.height = static_cast<qint32>(le32(p + 22));
        s.depth = static_cast<qint32>(le16(p + 28));
        break;
    case ImageSize::Gif:
        if (d.size() < 11) return s;
        s.width = static_cast<qint32>(le16(p + 6));
        s.height = static_cast<qint32>(le16(p + 8));
        s.depth = (p[10] & 7) + 1;
        break;
    case ImageSize::Png: {
        if (d.size() < 26) return s;
        s.width = static_cast<qint32>(be32(p + 16));
        s.height = static_cast<qint32>(be32(p + 20));
        const int bitDepth = p[24], colourType = p[25];
        s.depth = colourType == 0 || colourType == 3 ? bitDepth
                  : colourType == 2                  ? bitDepth * 3
                                                     : 0;
        break;
    }
    case ImageSize::Jpeg:
        if (!jpegFrame(d, &s.width, &s.height)) return s;
        s.depth = 24;
        break;
    default:
        return s;
    }
    s.type = type;
    return s;
}

ImageSize probeImageSize(const QString& path, int hint) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    int type = ImageSize::Unknown;
    if (hint == 5) {
        type = typeFromName(path);
    } else {
        type = typeFromHeader(f.peek(4));
    }
    if (type == ImageSize::Unknown) return {};
    // The JPEG frame header may follow large metadata segments; anything past
    // 64 MB of segments is not a picture this program made.
    const qint64 want = type == ImageSize::Jpeg ? qMin<qint64>(f.size(), 64 << 20) : 54;
    const QByteArray data = f.read(want);
    return probeImageData(data, type);
}

} // namespace klavoro
