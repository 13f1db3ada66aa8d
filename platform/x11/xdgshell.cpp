#include "platform/x11/xdgshell.h"

#include <QMimeDatabase>
#include <QProcess>

namespace klavoro::x11 {

bool XdgShell::open(const QString& pathOrAddress) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {pathOrAddress});
}

bool XdgShell::hasProgramFor(const QString& path) {
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    if (type.isEmpty()) return true; // no type database to ask with
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

bool XdgShell::showFolder(const QString& folder) {
    return open(folder);
}

} // namespace klavoro::x11
