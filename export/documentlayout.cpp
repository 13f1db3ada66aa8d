#include "export/documentlayout.h"

#include <QFontDatabase>

#include <algorithm>

namespace klavoro {

QSizeF pictureSizePt(QSize pixels, double indent, double maxHeight) {
    if (pixels.width() <= 0 || pixels.height() <= 0) return {};
    double w = pixels.width() * page::kPointsPerPixel;
    double h = pixels.height() * page::kPointsPerPixel;
    const double maxWidth = std::max(1.0, page::kTextWidth - std::max(0.0, indent));
    if (w > maxWidth) {
        h = h * maxWidth / w;
        w = maxWidth;
    }
    if (maxHeight > 0 && h > maxHeight) {
        w = w * maxHeight / h;
        h = maxHeight;
    }
    return QSizeF(std::max(w, 0.75), std::max(h, 0.75));
}

QStringList japaneseFontFamilies() {
    return {QStringLiteral("Yu Gothic"), QStringLiteral("Meiryo"),
            QStringLiteral("Noto Sans CJK JP")};
}

QString documentFontName() {
    return japaneseFontFamilies().first();
}

QString installedJapaneseFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : japaneseFontFamilies())
        if (installed.contains(family, Qt::CaseInsensitive)) return family;
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : japanese)
        if (!QFontDatabase::isFixedPitch(family) && !family.contains(QLatin1String("Serif")))
            return family;
    return japanese.isEmpty() ? QString() : japanese.first();
}

} // namespace klavoro
