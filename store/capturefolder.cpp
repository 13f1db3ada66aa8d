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

namespace {
bool isSafeFileName(const QString& name) {
    return isSafeImageName(name) && name != QLatin1String(".") && name != QLatin1String("..");
}
} // namespace

QStringList imageFileNames(const QString& imageName) {
    QStringList forms;
    const QString escaped = escapeName(imageName);
    if (isSafeFileName(escaped)) forms << escaped;
    if (escaped != imageName && isSafeFileName(imageName)) forms << imageName;
    return forms;
}

QString findImageFile(const QString& folder, const QString& imageName) {
    const QStringList forms = imageFileNames(imageName);
    if (forms.isEmpty()) return {};
    // The usual extensions first: a stat each instead of listing a folder that
    // may hold thousands of images. Alphabetical, as the listing would be.
    static const char* const kCommon[] = {"bmp", "gif", "jpeg", "jpg", "png"};
    for (const QString& form : forms)
        for (const char* ext : kCommon) {
            const QString path = folder + form + '.' + QLatin1String(ext);
            if (QFileInfo(path).isFile()) return path;
        }
    QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& form : forms) {
        const QString prefix = form + '.';
        for (const QString& e : entries)
            if (e.startsWith(prefix)) return folder + e;
    }
    // Lists built from image files name the file with its extension.
    for (const QString& form : forms)
        if (QFileInfo(folder + form).isFile()) return folder + form;
    return {};
}

QString thumbnailFileName(const QString& imageName) {
    const QString escaped = escapeName(imageName);
    if (!isSafeFileName(escaped)) return {};
    return QStringLiteral("Thumb_") + withoutExtension(escaped) + QStringLiteral(".jpg");
}

QString thumbnailPath(const QString& folder, const QString& imageName) {
    const QString name = thumbnailFileName(imageName);
    return name.isEmpty() ? QString() : folder + QStringLiteral("Thumb/") + name;
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
