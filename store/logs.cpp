#include "store/logs.h"

#include "store/imagename.h"
#include "store/programfolder.h"
#include "store/sjis.h"

#include <QFile>

namespace klavoro {
namespace {
void append(const QString& fileName, const QString& entry, bool reset) {
    QFile f(programFolder() + fileName);
    const QIODevice::OpenMode mode = reset ? QIODevice::WriteOnly | QIODevice::Truncate
                                           : QIODevice::WriteOnly | QIODevice::Append;
    if (!f.open(mode)) {
        qWarning("%s: %s", qPrintable(fileName), qPrintable(entry));
        return;
    }
    if (!entry.isEmpty()) f.write(toShiftJis(entry));
}
} // namespace

QString logEntry(const QString& stamp, const QString& message) {
    return stamp + QStringLiteral(": ") + message + QStringLiteral("\r\n");
}

QString exeLogEntry(const QString& stamp, const QString& message) {
    return stamp + QStringLiteral(": \r\n") + QString(44, '-') + QStringLiteral("\r\n") + message +
           QStringLiteral("\r\n");
}

void writeLog(const QString& message, bool reset) {
    if (message.isEmpty() && !reset) return;
    append(QStringLiteral("log.txt"),
           message.isEmpty() ? QString() : logEntry(timeStampNow(), message), reset);
}

void writeExeLog(const QString& message, bool reset) {
    if (message.isEmpty() && !reset) return;
    append(QStringLiteral("log_exe.txt"),
           message.isEmpty() ? QString() : exeLogEntry(timeStampNow(), message), reset);
}

} // namespace klavoro
