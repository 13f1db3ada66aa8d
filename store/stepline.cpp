#include "store/stepline.h"

#include "store/blanks.h"

#include "store/sjis.h"

#include <QStringList>

namespace klavoro {

QString buildStepLine(int creationNumber, const QString& imageName, const QString& message,
                      const QString& extension, const QString& checkMark) {
    const QChar tab('\t');
    QString line;
    line.reserve(imageName.size() + message.size() + 140);
    line += tab;
    line += imageName.leftJustified(20, ' ');
    line += tab;
    line += tab;
    line += QString::number(creationNumber);
    line += tab;
    line += padToHalfWidth(message, 100);
    line += tab;
    line += extension;
    line += tab;
    line += checkMark;
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
    fields[k] = value;
    return fields.join('\t');
}

} // namespace klavoro
