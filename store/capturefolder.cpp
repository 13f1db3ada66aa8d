#include "store/capturefolder.h"

#include "store/imagename.h"
#include "store/pathops.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace klavoro {
namespace {
QString g_runTimeFolder;
}

void setRunTimeCaptureFolder(const QString& folder) {
    g_runTimeFolder = folder;
}
QString runTimeCaptureFolder() {
    return g_runTimeFolder;
}

QString captureFolderText() {
    const QString chosen = g_runTimeFolder.isEmpty() ? conf().saveFolderPath : g_runTimeFolder;
    const QString text = chosen.isEmpty() ? chosen : withTrailingSeparator(chosen);
    createFolderTree(resolvePath(text));
    return text;
}

QString captureFolder() {
    const QString resolved = resolvePath(captureFolderText());
    return withTrailingSeparator(resolved);
}

bool isSafeImageName(const QString& name) {
    return !name.isEmpty() && !name.contains('/') && !name.contains(QChar(0));
}

QString imagePathForSaving(const QString& folder, const QString& imageName,
                           const QString& extension) {
    const QString escaped = escapeName(imageName);
    if (!isSafeImageName(escaped) || escaped == QLatin1String("..") ||
        escaped == QLatin1String("."))
        return {};
    return folder + escaped + '.' + extension;
}

QString findImageFile(const QString& folder, const QString& imageName) {
    if (!isSafeImageName(imageName)) return {};
    // The usual extensions first: a stat each instead of listing a folder that
    // may hold thousands of images. Alphabetical, as the listing would be.
    static const char* const kCommon[] = {"bmp", "gif", "jpeg", "jpg", "png"};
    for (const char* ext : kCommon) {
        const QString path = folder + imageName + '.' + QLatin1String(ext);
        if (QFileInfo(path).isFile()) return path;
    }
    const QString prefix = imageName + '.';
    QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& e : entries)
        if (e.startsWith(prefix)) return folder + e;
    // Lists built from image files name the file with its extension.
    if (QFileInfo(folder + imageName).isFile()) return folder + imageName;
    return {};
}

QString thumbnailPath(const QString& folder, const QString& imageName) {
    if (!isSafeImageName(imageName)) return {};
    return folder + QStringLiteral("Thumb/Thumb_") + withoutExtension(imageName) +
           QStringLiteral(".jpg");
}

QString versionText() {
    return QStringLiteral("Ver%1.%2%3")
        .arg(KLAVORO_VERSION_MAJOR)
        .arg(KLAVORO_VERSION_MINOR)
        .arg(KLAVORO_VERSION_PATCH);
}

QString windowTitle() {
    return QStringLiteral("クラヴォロ ") + versionText() + QStringLiteral("  －  ") +
           relativePath(captureFolder(), captureBaseFolder());
}

} // namespace klavoro
