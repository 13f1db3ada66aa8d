#include "store/pathops.h"

#include "store/blanks.h"

#include "store/programfolder.h"

#include <QDir>
#include <QFileInfo>

namespace klavoro {

QString unquote(const QString& text) {
    QString s = trimBlanks(text).toString();
    while (s.size() >= 2 && s.startsWith('"') && s.endsWith('"'))
        s = trimBlanks(QStringView(s).mid(1, s.size() - 2)).toString();
    return s;
}

QString withTrailingSeparator(const QString& path) {
    return path.endsWith('/') ? path : path + '/';
}

bool isRootedPath(const QString& path) {
#ifdef _WIN32
    // "C:/...", "//server/..." and "/..." on the current drive.
    if (path.size() >= 3 && path[0].isLetter() && path[1] == ':' && path[2] == '/') return true;
#endif
    return path.startsWith('/');
}

QString resolvePath(const QString& path, const QString& baseFolder) {
    QString p = path;
    if (p.startsWith('"')) {
        if (p.size() < 2 || !p.endsWith('"')) return path;
        p = p.mid(1, p.size() - 2);
    }
    QString base = baseFolder.isEmpty() ? captureBaseFolder() : baseFolder;
    if (QFileInfo(base).isDir()) base = withTrailingSeparator(base);
    if (p.contains(QLatin1String("../"))) {
        QString clean = QDir::cleanPath(isRootedPath(p) ? p : base + p);
        if (p.endsWith('/') && !clean.endsWith('/')) clean += '/';
        return clean;
    }
    if (p.startsWith(QLatin1String("./"))) return base + p.mid(2);
    if (!isRootedPath(p)) return base + p;
    return p;
}

QString relativePath(const QString& path, const QString& baseFolder) {
    const QString p = unquote(path);
    const QString b = unquote(baseFolder.isEmpty() ? captureBaseFolder() : baseFolder);
    if (p.isEmpty() || b.isEmpty() || p[0] != b[0] || p.startsWith(QLatin1String("//")))
        return path;
    auto parts = [](const QString& s) {
        QStringList list = s.split('/');
        while (list.size() > 1 && list.last().isEmpty())
            list.removeLast();
        return list;
    };
    const QStringList pp = parts(p), bp = parts(b);
    qsizetype common = 0;
    while (common < pp.size() && common < bp.size() && pp[common] == bp[common])
        ++common;
    QStringList out;
    for (qsizetype i = common; i < bp.size(); ++i)
        out << QStringLiteral("..");
    for (qsizetype i = common; i < pp.size(); ++i)
        out << pp[i];
    return out.join('/');
}

QString extensionOf(const QString& path) {
    const qsizetype dot = path.lastIndexOf('.');
    if (dot < 0 || dot < path.lastIndexOf('/') || dot < path.lastIndexOf('\\')) return {};
    const QString ext = path.mid(dot + 1);
    return ext.size() > 4 ? QString() : ext;
}

QString withoutExtension(const QString& path) {
    const QString ext = extensionOf(path);
    if (ext.isEmpty()) return path;
    return path.left(path.size() - ext.size() - 1);
}

QString parentFolder(const QString& path) {
    QString p = path;
    if (p.size() >= 2 && p.startsWith('"') && p.endsWith('"')) p = p.mid(1, p.size() - 2);
    const qsizetype slash = p.lastIndexOf('/');
    return slash < 0 ? p : p.left(slash);
}

QString fileNameOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace klavoro
