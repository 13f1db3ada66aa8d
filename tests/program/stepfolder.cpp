#include "tests/program/stepfolder.h"

#include "store/sjis.h"
#include "store/stepline.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>

#include <unistd.h>

namespace klavoro::test {

QString stepName(int i) {
    return QStringLiteral("2025061009%1%2").arg(i / 60, 2, 10, QChar('0')).arg(i % 60, 2, 10,
                                                                             QChar('0')) +
           QStringLiteral("00");
}

QString stepSentence(int i) {
    return QStringLiteral("[Button %1](ボタン)を、クリックします。").arg(i, 2, 10, QChar('0'));
}

QColor stepColour(int i) {
    return QColor::fromHsv((i * 47) % 360, 230, 200 + (i % 3) * 25);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

void makeStepFolder(const QString& folder, int count, const QList<int>& checked) {
    QDir().mkpath(folder + QStringLiteral("NO_RECT"));
    QDir().mkpath(folder + QStringLiteral("Thumb"));
    QString list = QStringLiteral("最終行 = \t1\t\r\n") + QString(28, QLatin1Char('-')) + QChar(3) +
                   QStringLiteral("\r\n");
    for (int i = 1; i <= count; ++i) {
        QImage image(240, 180, QImage::Format_RGB32);
        image.fill(stepColour(i));
        image.save(folder + stepName(i) + QStringLiteral(".jpg"), "JPEG", 95);
        image.save(folder + QStringLiteral("NO_RECT/") + stepName(i) + QStringLiteral(".jpg"),
                   "JPEG", 95);
        image.scaled(60, 45).save(folder + QStringLiteral("Thumb/Thumb_") + stepName(i) +
                                      QStringLiteral(".jpg"),
                                  "JPEG", 95);
        list += buildStepLine(i, stepName(i), stepSentence(i), QStringLiteral("jpg"),
                              checked.contains(i) ? kCheckMark : QString()) +
                QStringLiteral("\r\n");
    }
    writeBytes(folder + QStringLiteral("OpList.txt"), toShiftJis(list));
    writeBytes(folder + QStringLiteral("NO_RECT/OpList.txt"), toShiftJis(list));
}

QString longStepName(int i) {
    return QStringLiteral("20250610%1").arg(i, 8, 10, QChar('0'));
}

namespace {

// A hard link where the file system allows one, a copy elsewhere.
void linkOrCopy(const QString& from, const QString& to) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        QFile::copy(from, to);
}

} // namespace

void makeLongStepFolder(const QString& folder, int count, bool thumbnails) {
    QDir().mkpath(folder + QStringLiteral("Thumb"));
    const QString picture = folder + QStringLiteral("../picture.jpg");
    const QString thumb = folder + QStringLiteral("../thumb.jpg");
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(stepColour(1));
    image.save(picture, "JPEG", 90);
    image.scaled(16, 12).save(thumb, "JPEG", 90);
    QString list = QStringLiteral("最終行 = \t1\t\r\n") + QString(28, QLatin1Char('-')) + QChar(3) +
                   QStringLiteral("\r\n");
    for (int i = 1; i <= count; ++i) {
        const QString name = longStepName(i);
        linkOrCopy(picture, folder + name + QStringLiteral(".jpg"));
        if (thumbnails)
            linkOrCopy(thumb, folder + QStringLiteral("Thumb/Thumb_") + name + QStringLiteral(".jpg"));
        list += buildStepLine(i, name, stepSentence(i), QStringLiteral("jpg"), QString()) +
                QStringLiteral("\r\n");
    }
    writeBytes(folder + QStringLiteral("OpList.txt"), toShiftJis(list));
}

namespace {

QStringList opListAll(const QString& folder) {
    const QString text = fromShiftJis(readBytes(folder + QStringLiteral("OpList.txt")));
    if (text.isEmpty()) return {};
    return text.split(QStringLiteral("\r\n"));
}

} // namespace

QStringList opListLines(const QString& folder) {
    // The header ends with code 3, on its own line or on the first one.
    const QString text = fromShiftJis(readBytes(folder + QStringLiteral("OpList.txt")));
    const qsizetype body = text.indexOf(QChar(3));
    if (body < 0) return {};
    QStringList lines = text.mid(body + 1).split(QStringLiteral("\r\n"));
    lines.removeFirst(); // the rest of the header's line
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList opListField(const QString& folder, int k) {
    QStringList out;
    for (const QString& line : opListLines(folder))
        out << lineField(line, k);
    return out;
}

int opListCurrentStep(const QString& folder) {
    const QStringList lines = opListAll(folder);
    return lines.isEmpty() ? -1 : lines.first().section(QLatin1Char('\t'), 1, 1).toInt();
}

void writeConf(const QString& home, const QStringList& extra) {
    QStringList lines = {QStringLiteral("exe name = klavoro"), QStringLiteral("anime char = "),
                         QStringLiteral("play span = 0.2"),
                         // Room for the list and the picture side by side.
                         QStringLiteral("form left = 40"), QStringLiteral("form top = 40"),
                         QStringLiteral("form right = 1000"), QStringLiteral("form bottom = 800")};
    lines += extra;
    writeBytes(home + QStringLiteral("/Conf.txt"),
               toShiftJis(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

QString confValue(const QString& home, const QString& key) {
    const QString text = fromShiftJis(readBytes(home + QStringLiteral("/Conf.txt")));
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (!line.startsWith(key + QStringLiteral(" ="))) continue;
        QString value = line.mid(key.size() + 2);
        const int comment = value.indexOf(QStringLiteral(" //"));
        if (comment >= 0) value.truncate(comment);
        return value.trimmed();
    }
    return QString();
}

QStringList filesBelow(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

bool similarColour(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace klavoro::test
