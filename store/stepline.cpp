#include "store/stepline.h"

#include "store/blanks.h"
#include "store/sjis.h"

#include <QStringList>

#include <algorithm>

namespace klavoro {

QString storableFieldText(const QString& value) {
    const auto unsafe = [](QChar c) {
        return c == u'\t' || c == u'\r' || c == u'\n' || c == QChar(3);
    };
    if (std::none_of(value.cbegin(), value.cend(), unsafe)) return value;
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\t') {
            out += u' ';
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n') ++i;
            out += QChar(4);
        } else if (c != QChar(3)) {
            out += c;
        }
    }
    return out;
}

QString buildStepLine(int creationNumber, const QString& imageName, const QString& message,
                      const QString& extension, const QString& checkMark) {
    const QChar tab('\t');
    QString line;
    line.reserve(imageName.size() + message.size() + 140);
    line += tab;
    line += storableFieldText(imageName).leftJustified(20, ' ');
    line += tab;
    line += tab;
    line += QString::number(creationNumber);
    line += tab;
    line += padToHalfWidth(storableFieldText(message), 100);
    line += tab;
    line += storableFieldText(extension);
    line += tab;
    line += storableFieldText(checkMark);
    return line;
}

QString lineField(const QString& line, int k) {
    if (k < 0) return {};
    qsizetype start = 0;
    for (int i = 0; i < k; ++i) {
        const qsizetype tab = line.indexOf('\t', start);
        if (tab < 0) return {};
        start = tab + 1;
    }
    qsizetype end = line.indexOf('\t', start);
    if (end < 0) end = line.size();
    return trimBlanks(QStringView(line).mid(start, end - start)).toString();
}

QString withLineField(const QString& line, int k, const QString& value) {
    QStringList fields = line.split('\t');
    if (k < 0 || k >= fields.size()) return line;
    fields[k] = storableFieldText(value);
    return fields.join('\t');
}

} // namespace klavoro
