#include "store/imagename.h"

#include <QDir>
#include <QFileInfo>

namespace klavoro {

const QDateTime kZeroDateTime(QDate(1899, 12, 30), QTime(0, 0));

QString timeStamp(const QDateTime& local) {
    const QDate d = local.date();
    const QTime t = local.time();
    return QString::asprintf("%04d%02d%02d%02d%02d%02d%02d", d.year(), d.month(), d.day(), t.hour(),
                             t.minute(), t.second(), t.msec() / 10);
}

QString timeStampNow() {
    return timeStamp(QDateTime::currentDateTime());
}

QDateTime timeOfImageName(const QString& name) {
    if (name.size() < 14) return kZeroDateTime;
    for (int i = 0; i < 14; ++i)
        if (!name[i].isDigit() || name[i].unicode() > '9') return kZeroDateTime;
    auto num = [&](int from, int len) { return QStringView(name).mid(from, len).toInt(); };
    const QDate date(num(0, 4), num(4, 2), num(6, 2));
    const QTime time(num(8, 2), num(10, 2), num(12, 2));
    if (!date.isValid() || !time.isValid()) return kZeroDateTime;
    return QDateTime(date, time);
}

QString imageExtensionFor(int saveFileFormat) {
    switch (saveFileFormat) {
    case 1:
        return QStringLiteral("jpg");
    case 2:
        return QStringLiteral("png");
    case 3:
        return QStringLiteral("gif");
    default:
        return QStringLiteral("bmp");
    }
}

namespace {
// The two columns of the escaping table, in their fixed order.
const QString kPlain = QStringLiteral("&,*,\\,<,>,|,?,/,:,\"");
const QString kEscaped = QStringLiteral("&＆,&＊,&￥;,&＜,&＞,&｜,&？,&／,&：,&゛");

struct EscapeTable {
    QStringList plain = kPlain.split(',');
    QStringList escaped = kEscaped.split(',');
};
const EscapeTable& escapeTable() {
    static const EscapeTable t;
    return t;
}
} // namespace

QString escapeName(const QString& text) {
    const EscapeTable& t = escapeTable();
    QString s = text;
    for (int i = 0; i < t.plain.size(); ++i)
        if (s.contains(t.plain[i])) s.replace(t.plain[i], t.escaped[i]);
    return s;
}

QString unescapeName(const QString& text) {
    if (!text.contains('&')) return text;
    const EscapeTable& t = escapeTable();
    QString s = text;
    for (int i = t.plain.size() - 1; i >= 0; --i)
        if (s.contains(t.escaped[i])) s.replace(t.escaped[i], t.plain[i]);
    return s;
}

bool ImageNamer::isTaken(const QString& folder, const QString& name) const {
    if (m_handedOut.contains(name)) return true;
    if (folder.isEmpty()) return false;
    static const char* const kExtensions[] = {"jpg", "png", "gif", "bmp", "jpeg"};
    for (const char* ext : kExtensions)
        if (QFileInfo::exists(folder + name + '.' + QLatin1String(ext))) return true;
    return false;
}

QString ImageNamer::makeName(const QString& captureFolder) {
    return makeName(captureFolder, QDateTime::currentDateTime());
}

QString ImageNamer::makeName(const QString& captureFolder, const QDateTime& now) {
    QDateTime t = now;
    QString name = timeStamp(t);
    // Bounded: at worst every name of the coming ten seconds is taken.
    for (int i = 0; i < 1000 && isTaken(captureFolder, name); ++i) {
        t = t.addMSecs(10);
        name = timeStamp(t);
    }
    m_handedOut.insert(name);
    return name;
}

} // namespace klavoro
