#include "export/numbertext.h"

#include "store/settings.h"

namespace klavoro {

QString toFullWidth(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == 0x20)
            out += QChar(0x3000);
        else if (u > 0x20 && u < 0x7F)
            out += QChar(u - 0x20 + 0xFF00);
        else
            out += c;
    }
    return out;
}

QString stepNumberText(int number, const Settings& settings) {
    const QString suffix = settings.noPeriod == 1 ? QStringLiteral(". ") : QStringLiteral(" ");
    QString text;
    switch (settings.noFormat) {
    case 0:
        text = settings.noChar;
        break;
    case 1:
        text = QString::number(number) + suffix;
        break;
    case 2:
        text = QString::number(number).rightJustified(3, QLatin1Char(' ')) + suffix;
        break;
    default:
        text = QString::number(number).rightJustified(3, QLatin1Char('0')) + suffix;
        break;
    }
    return settings.noWide == 1 ? toFullWidth(text) : text;
}

} // namespace klavoro
