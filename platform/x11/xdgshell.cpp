#include "platform/x11/xdgshell.h"

#include <QProcess>

namespace klavoro::x11 {

bool XdgShell::open(const QString& pathOrAddress) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {pathOrAddress});
}

bool XdgShell::showFolder(const QString& folder) {
    return open(folder);
}

} // namespace klavoro::x11
