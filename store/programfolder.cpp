#include "store/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <optional>

#ifndef KLAVORO_SHARE_FROM_BIN
#define KLAVORO_SHARE_FROM_BIN "../share/klavoro"
#endif

namespace klavoro {
namespace {

std::optional<FolderLayout> g_layout;

QString asFolder(const QString& path) {
    QString dir = QDir(path).absolutePath();
    if (!dir.endsWith('/')) dir += '/';
    return dir;
}

// The XDG rule: an unset, empty or relative value means the default.
QString xdgBase(const QString& value, const QString& userHome, const QString& fallback) {
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) return asFolder(value);
    return asFolder(userHome + '/' + fallback);
}

const FolderLayout& layout() {
    if (!g_layout) g_layout = folderLayout(currentFolderInputs());
    return *g_layout;
}

} // namespace

FolderLayout folderLayout(const FolderInputs& in) {
    FolderLayout l;
    if (!in.klavoroHome.isEmpty()) {
        l.program = l.captureBase = l.shipped = asFolder(in.klavoroHome);
        return l;
    }
    // A writable folder alone does not make a portable copy: root may write to
    // /usr/bin, and a user to ~/.local/bin, yet neither is the place for settings.
    l.installed = !in.installedShared.isEmpty() || !in.exeFolderWritable;
    if (!l.installed) {
        l.program = l.captureBase = l.shipped = asFolder(in.exeFolder);
        return l;
    }
    const QString home = in.userHome.isEmpty() ? QDir::homePath() : in.userHome;
    l.program =
        xdgBase(in.xdgConfigHome, home, QStringLiteral(".config")) + QStringLiteral("klavoro/");
    l.captureBase =
        xdgBase(in.xdgDataHome, home, QStringLiteral(".local/share")) + QStringLiteral("klavoro/");
    // A read-only portable copy still has its files beside the executable.
    l.shipped = asFolder(in.installedShared.isEmpty() ? in.exeFolder : in.installedShared);
    return l;
}

FolderInputs currentFolderInputs() {
    FolderInputs in;
    in.klavoroHome = qEnvironmentVariable(kProgramFolderEnv);
    in.exeFolder =
        QCoreApplication::instance()
            ? QCoreApplication::applicationDirPath()
            : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
    in.exeFolderWritable = QFileInfo(in.exeFolder).isWritable();
    const QString shared =
        QDir::cleanPath(in.exeFolder + '/' + QStringLiteral(KLAVORO_SHARE_FROM_BIN));
    if (QFileInfo(shared).isDir()) in.installedShared = shared;
#ifdef _WIN32
    // A folder under Program Files does not say it is read-only: only a write
    // shows it. Installed, the settings go to the roaming application data and
    // the captures to the user's documents.
    // Probed once: the executable's folder does not change while it runs, and
    // the shipped-file lookups ask for these inputs again and again.
    static const bool writable = [&] {
        QTemporaryFile probe(in.exeFolder + QStringLiteral("/.klavoro-write-XXXXXX"));
        return probe.open();
    }();
    in.exeFolderWritable = writable;
    const QString profile = QDir::fromNativeSeparators(qEnvironmentVariable("USERPROFILE"));
    in.xdgConfigHome = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (!profile.isEmpty()) in.xdgDataHome = profile + QStringLiteral("/Documents");
    in.userHome = profile;
#else
    in.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    in.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    in.userHome = qEnvironmentVariable("HOME");
#endif
    return in;
}

QString programFolder() {
    return layout().program;
}

QString captureBaseFolder() {
    return layout().captureBase;
}

QString shippedFilesFolder() {
    return layout().shipped;
}

QStringList shippedFileFolders() {
    return shippedFileFolders(currentFolderInputs());
}

QStringList shippedFileFolders(const FolderInputs& in) {
    QStringList folders{folderLayout(in).shipped};
    FolderInputs own = in;
    own.klavoroHome.clear();
    const QString beside = folderLayout(own).shipped;
    if (!folders.contains(beside)) folders << beside;
    return folders;
}

bool isInstalledCopy() {
    return layout().installed;
}

void createUserFolders() {
    QDir().mkpath(programFolder());
    QDir().mkpath(captureBaseFolder());
}

void resetProgramFolder() {
    g_layout.reset();
}

} // namespace klavoro
