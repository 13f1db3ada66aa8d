#include "export/pdfwriter.h"

namespace klavoro {

bool isPlainJpeg(QByteArrayView data) {
    const auto* d = reinterpret_cast<const unsigned char*>(data.data());
    const qsizetype n = data.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) return false;
    for (qsizetype at = 2; at + 9 < n;) {
        if (d[at] != 0xFF) return false;
        const unsigned char marker = d[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            const unsigned char components = d[at + 9];
            return (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) &&
                   (components == 1 || components == 3);
        }
        at += 2 + ((d[at + 2] << 8) | d[at + 3]);
    }
    return false;
}

} // namespace klavoro
