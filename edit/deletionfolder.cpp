#include "edit/deletionfolder.h"

#include "store/capturefolder.h"
#include "store/logs.h"
#include "store/osfiles.h"
#include "store/pathops.h"
#include "store/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace klavoro {

namespace {
const QString kNoRect = QStringLiteral("NO_RECT/");
const QString kThumb = QStringLiteral("Thumb/");

// Only picture files go with a step: a step named "OpList" must not take
// OpList.txt with it.
bool isPictureFile(const QString& path) {
    static const QStringList kExtensions = {"jpg", "jpeg", "bmp", "png", "gif"};
    return kExtensions.contains(extensionOf(fileNameOf(path)).toLower());
}

bool isFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

QStringList StepFiles::existing() const {
    QStringList out;
    for (const QString* p : {&image, &noRect, &thumbnail})
        if (!p->isEmpty()) out << *p;
    return out;
}

StepFiles stepFilesOf(const QString& folder, const QString& imageName) {
    StepFiles files;
    if (!isSafeImageName(imageName)) return files;
    const QString image = findImageFile(folder, imageName);
    if (isFile(image) && isPictureFile(image)) files.image = image;
    QString noRect = files.image.isEmpty() ? findImageFile(folder + kNoRect, imageName)
                                           : folder + kNoRect + fileNameOf(files.image);
    if (isFile(noRect) && isPictureFile(noRect)) files.noRect = noRect;
    const QString thumb = thumbnailPath(folder, imageName);
    if (isFile(thumb)) files.thumbnail = thumb;
    return files;
}

void ListedNames::add(const QString& imageName) {
    // Every name the step's files may have: escaped as saved, or as they stand.
    m_names.insert(imageName);
    m_bases.insert(withoutExtension(imageName));
    for (const QString& form : imageFileNames(imageName)) {
        m_names.insert(form);
        m_bases.insert(withoutExtension(form));
    }
}

bool ListedNames::usesFile(const QString& fileName) const {
    return m_names.contains(fileName) || m_names.contains(withoutExtension(fileName));
}

bool ListedNames::usesThumbnail(const QString& fileName) const {
    static const QString prefix = QStringLiteral("Thumb_"), suffix = QStringLiteral(".jpg");
    if (!fileName.startsWith(prefix) || !fileName.endsWith(suffix)) return false;
    const QString core =
        fileName.mid(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    return m_bases.contains(core);
}

DeletionFolder::DeletionFolder(const QString& captureFolder)
    : m_folder(withTrailingSeparator(captureFolder)),
      m_path(m_folder + QStringLiteral("tmp_del/")) {}

QString DeletionFolder::target(const QString& file) const {
    const QString name = fileNameOf(file);
    if (file == m_folder + kNoRect + name) return m_path + kNoRect + name;
    if (file == m_folder + kThumb + name) return m_path + kThumb + name;
    return m_path + name;
}

bool DeletionFolder::create(const ListedNames& listed, QString* error) {
    const QFileInfo info(m_path);
    if (info.isDir()) {
        // Left by a run that stopped before its list was saved: the files a
        // step still uses go back; the rest belonged to steps already gone.
        for (const QString& sub : {QString(), kNoRect, kThumb}) {
            const QDir dir(m_path + sub);
            for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
                const bool used =
                    sub == kThumb ? listed.usesThumbnail(name) : listed.usesFile(name);
                if (!used) continue;
                if (!sub.isEmpty()) QDir().mkpath(m_folder + sub);
                if (renameWithoutCopy(dir.filePath(name), m_folder + sub + name))
                    writeLog(QStringLiteral("tmp_del から戻しました：") + sub + name);
            }
        }
        deleteFolder(m_path);
    }
    return makeFolder(m_path, error);
}

bool DeletionFolder::moveIn(const QStringList& files, QStringList* failed) {
    const qsizetype start = m_moved.size();
    bool ok = true;
    for (const QString& file : files) {
        const QString to = target(file);
        const QString parent = parentFolder(to);
        if (parent + '/' != m_path && !QFileInfo(parent).isDir()) QDir().mkpath(parent);
        if (renameWithoutCopy(file, to)) {
            m_moved.append({file, to});
        } else {
            ok = false;
            if (failed) failed->append(file);
        }
    }
    if (ok) return true;
    // A step goes with all its files or not at all.
    while (m_moved.size() > start) {
        const auto [orig, moved] = m_moved.takeLast();
        if (!renameWithoutCopy(moved, orig)) {
            m_stuck << moved;
            writeLog(QStringLiteral("tmp_del から戻せません：") + moved);
        }
    }
    return false;
}

QStringList DeletionFolder::restoreAll() {
    QStringList stuck;
    for (auto it = m_moved.crbegin(); it != m_moved.crend(); ++it) {
        if (!renameWithoutCopy(it->second, it->first)) {
            stuck << it->first;
            m_stuck << it->second;
            writeLog(QStringLiteral("tmp_del から戻せません：") + it->second);
        }
    }
    m_moved.clear();
    return stuck;
}

void DeletionFolder::remove() {
    // A file that belongs to a kept step is never removed with the folder.
    if (m_stuck.isEmpty())
        deleteFolder(m_path);
    else
        writeLog(QStringLiteral("tmp_del を残しました：") + m_path);
    m_moved.clear();
}

} // namespace klavoro
