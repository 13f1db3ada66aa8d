#include "store/textfile.h"

#include "store/dialogs.h"
#include "store/events.h"
#include "store/imagename.h"
#include "store/osfiles.h"
#include "store/pathops.h"
#include "store/sjis.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>

namespace klavoro {

namespace {
const QLatin1String kTmpMark(".tmp");
constexpr qsizetype kTmpRandom = 6; // mkstemp's XXXXXX: letters and digits

// The file name a temporary of ours stands for, or empty when `name` is none.
QString temporaryTarget(const QString& name) {
    const qsizetype n = name.size();
    if (n < 1 + 1 + kTmpMark.size() + kTmpRandom || !name.startsWith('.')) return {};
    for (qsizetype i = n - kTmpRandom; i < n; ++i) {
        const char16_t c = name[i].unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return {};
    }
    const qsizetype mark = n - kTmpRandom - kTmpMark.size();
    if (QStringView(name).mid(mark, kTmpMark.size()) != kTmpMark) return {};
    return name.mid(1, mark - 1);
}

bool isImageFileName(const QString& name) {
    static const QStringList kImages = {"jpg", "jpeg", "png", "gif", "bmp"};
    return kImages.contains(extensionOf(name).toLower());
}

template <typename Wanted>
int removeTemporaries(const QString& folder, int minAgeSeconds, Wanted wanted) {
    const QDir dir(folder);
    if (!dir.exists()) return 0;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-minAgeSeconds);
    int removed = 0;
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Unsorted)) {
        const QString target = temporaryTarget(info.fileName());
        if (target.isEmpty() || !wanted(target)) continue;
        if (minAgeSeconds > 0 && info.lastModified() > before) continue;
        if (QFile::remove(info.absoluteFilePath())) ++removed;
    }
    return removed;
}
} // namespace

bool isTemporaryOf(const QString& name, const QString& fileName) {
    return !fileName.isEmpty() && temporaryTarget(name) == fileName;
}

int removeLeftTemporaries(const QString& folder, const QString& fileName, int minAgeSeconds) {
    return removeTemporaries(folder, minAgeSeconds,
                             [&](const QString& target) { return target == fileName; });
}

int removeLeftImageTemporaries(const QString& folder, int minAgeSeconds) {
    return removeTemporaries(folder, minAgeSeconds, isImageFileName);
}

QString keepBackupCopy(const QString& path, QString* error) {
    const QString stamp = timeStampNow();
    QString backup = path + '.' + stamp + QStringLiteral(".bak");
    for (int k = 2; QFileInfo::exists(backup) || QFileInfo(backup).isSymLink(); ++k)
        backup = path + '.' + stamp + '-' + QString::number(k) + QStringLiteral(".bak");
    QFile source(path);
    if (source.copy(backup)) return backup;
    if (error) *error = source.errorString() + QStringLiteral(" : ") + backup;
    return {};
}

bool writeNewFileBytes(const QString& path, const QByteArray& bytes, QString* error) {
    QString why;
    if (replaceFileWith(path, bytes, false, &why)) return true;
    if (error) *error = why;
    return false;
}


namespace {
// The error of the reader: shown under "MyFileWrite", or logged without dialogs.
void reportReadError(const QString& what, const QString& path, Dialogs* dialogs, bool* ok,
                     QString* error) {
    const QString text = what + "\r\n\r\n" + path;
    if (dialogs)
        dialogs->message(text, QStringLiteral("MyFileWrite"));
    else
        qWarning("%s", qPrintable(text));
    if (ok) *ok = false;
    if (error) *error = what;
}
} // namespace

QByteArray readFileBytes(const QString& path, Dialogs* dialogs, bool* ok, QString* error) {
    if (ok) *ok = true;
    const QFileInfo info(path);
    if (!info.exists() || (info.isFile() && info.size() == 0)) return {};
    // Qt refuses a folder without setting errno: what errno holds is stale.
    if (info.isDir()) {
        reportReadError(errnoText(EISDIR), path, dialogs, ok, error);
        return {};
    }
    QFile f(path);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly)) {
        const int err = errno;
        reportReadError(err ? errnoText(err)
                            : QString::number(int(f.error())) + ' ' + f.errorString(),
                        path, dialogs, ok, error);
        return {};
    }
    errno = 0;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        const int err = errno;
        reportReadError(err ? errnoText(err)
                            : QString::number(int(f.error())) + ' ' + f.errorString(),
                        path, dialogs, ok, error);
        return {};
    }
    return bytes;
}

QString readTextFile(const QString& path, const QString& charsetLabel, Dialogs* dialogs, bool* ok,
                     QString* error) {
    if (ok) *ok = true;
    Charset charset;
    if (!charsetFromLabel(charsetLabel, &charset)) {
        const QFileInfo info(path);
        if (!info.exists() || (info.isFile() && info.size() == 0)) return {};
        reportReadError(QStringLiteral("3004 文字セットが不正です: ") + charsetLabel, path, dialogs,
                        ok, error);
        return {};
    }
    bool read = true;
    const QByteArray bytes = readFileBytes(path, dialogs, &read, error);
    if (!read) {
        if (ok) *ok = false;
        return {};
    }
    return decodeText(bytes, charset);
}

bool writeWholeFileBytes(const QString& path, const QByteArray& bytes, QString* error) {
    QString last;
    LongOperation writing;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (replaceFileWith(path, bytes, true, &last)) return true;
        if (attempt < 4)
            for (int i = 0; i < 10; ++i) {
                QThread::msleep(20);
                letEventsRun();
            }
    }
    if (error) *error = last;
    return false;
}

bool writeWholeFile(const QString& path, const QString& text, QString* error) {
    return writeWholeFileBytes(path, toShiftJis(text), error);
}

bool appendLine(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const QByteArray bytes = toShiftJis(text) + "\r\n";
    return f.write(bytes) == bytes.size();
}

void createEmptyFile(const QString& path) {
    QFile f(path);
    (void)f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.close();
    letEventsRun();
}

bool wildcardMatch(const QString& pattern, const QString& name) {
    // Iterative matcher with one backtrack point for the last "*".
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

namespace {
QStringList matchingFiles(const QString& pattern) {
    const QFileInfo info(pattern);
    const QString name = info.fileName();
    if (!name.contains('*') && !name.contains('?'))
        return info.exists() && !info.isDir() ? QStringList{info.absoluteFilePath()}
                                              : QStringList{};
    QStringList result;
    QDir dir(info.absolutePath());
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : entries)
        if (wildcardMatch(name, e)) result << dir.absoluteFilePath(e);
    return result;
}
} // namespace

void deleteFileAndWait(const QString& pattern) {
    QStringList files = matchingFiles(pattern);
    if (files.isEmpty()) return;
    LongOperation waiting;
    for (const QString& f : files)
        QFile::remove(f);
    for (int i = 0; i < 500 && !matchingFiles(pattern).isEmpty(); ++i) {
        QThread::msleep(10);
        letEventsRun();
    }
}

void deleteFolder(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    QDir dir(p);
    if (dir.exists()) dir.removeRecursively();
}

int copyFolder(const QString& source, const QString& destination) {
    const QDir src(source);
    if (!src.exists() || !QDir().mkpath(destination)) return -1;
    QDirIterator it(src.absolutePath(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir dst(destination);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString rel = src.relativeFilePath(from);
        const QString to = dst.absoluteFilePath(rel);
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(to)) return -1;
            continue;
        }
        if (QFile::exists(to) && !QFile::remove(to)) return -1;
        if (!QFile::copy(from, to)) return -1;
    }
    return 0;
}

bool createFolderTree(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    if (info.isDir()) return true;
    return QDir().mkpath(path);
}

} // namespace klavoro
