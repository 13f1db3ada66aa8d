#include "store/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace klavoro {
namespace {
std::optional<QString> g_programFolder;
}

QString programFolder() {
    if (!g_programFolder) {
        QString dir = qEnvironmentVariable(kProgramFolderEnv);
        if (dir.isEmpty()) {
            if (QCoreApplication::instance())
                dir = QCoreApplication::applicationDirPath();
            else
                dir = QFileInfo(QStringLiteral("/proc/self/exe"))
                          .canonicalFilePath()
                          .section('/', 0, -2);
        }
        dir = QDir(dir).absolutePath();
        if (!dir.endsWith('/')) dir += '/';
        g_programFolder = dir;
    }
    return *g_programFolder;
}

void resetProgramFolder() {
    g_programFolder.reset();
}

} // namespace klavoro
