#include "edit/filecheck.h"

#include "store/capturefolder.h"
#include "store/pathops.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace klavoro {

namespace {
bool lessNoCase(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}
} // namespace

FileCheck::FileCheck(const QStringList& imageNames) {
    for (const QString& n : imageNames) {
        const QString name = n.trimmed();
        if (name.isEmpty()) continue;
        // The file may carry the escaped name (as images are saved) or the
        // name as it stands (as a list built from images names it).
        for (const QString& form : imageFileNames(name)) {
            m_images << form;
            // A thumbnail is named after the image name without its extension.
            m_thumbnails << QStringLiteral("Thumb_") + form;
            const QString base = withoutExtension(form);
            if (base != form) m_thumbnails << QStringLiteral("Thumb_") + base;
        }
    }
    std::sort(m_images.begin(), m_images.end(), lessNoCase);
    std::sort(m_thumbnails.begin(), m_thumbnails.end(), lessNoCase);
}

QStringList FileCheck::imageNamesOf(const StepList& steps) {
    QStringList names;
    names.reserve(steps.count());
    for (int i = 1; i <= steps.count(); ++i)
        names << steps.field(i, FieldImageName);
    return names;
}

QString FileCheck::folderFor(Kind kind, const QString& captureFolder) {
    const QString folder = withTrailingSeparator(captureFolder);
    return kind == Kind::Thumbnails ? folder + QStringLiteral("Thumb/") : folder;
}

bool FileCheck::contains(const QStringList& sorted, const QString& name) const {
    // The search is steered without regard to case; only an exact match
    // counts, so every entry equal but for case is looked at.
    auto first = std::lower_bound(sorted.cbegin(), sorted.cend(), name,
                                  [](const QString& entry, const QString& key) {
                                      return entry.compare(key, Qt::CaseInsensitive) < 0;
                                  });
    for (auto it = first; it != sorted.cend() && it->compare(name, Qt::CaseInsensitive) == 0; ++it)
        if (*it == name) return true;
    return false;
}

bool FileCheck::isUsed(Kind kind, const QString& fileName) const {
    const QStringList& expected = kind == Kind::Thumbnails ? m_thumbnails : m_images;
    return contains(expected, withoutExtension(fileName)) || contains(expected, fileName);
}

QStringList FileCheck::unusedFiles(Kind kind, const QString& folder,
                                   const std::function<void(int)>& counter) const {
    QStringList unused;
    const QDir dir(folder);
    QStringList entries = dir.entryList(QDir::Files, QDir::Unsorted);
    std::sort(entries.begin(), entries.end(), lessNoCase);
    int seen = 0;
    for (const QString& name : entries) {
        ++seen;
        if (counter && seen % 100 == 0) counter(seen);
        if (name.compare(QLatin1String("oplist.txt"), Qt::CaseInsensitive) == 0) continue;
        if (!isUsed(kind, name)) unused << name;
    }
    return unused;
}

QStringList deleteCheckedFiles(const QString& folder, const QStringList& names) {
    QStringList left;
    const QString base = withTrailingSeparator(folder);
    for (const QString& name : names) {
        if (!isSafeImageName(name) || name == QLatin1String(".") || name == QLatin1String("..")) {
            left << name;
            continue;
        }
        const QString path = base + name;
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink()) continue; // already gone
        if (info.isDir() || !QFile::remove(path)) left << name;
    }
    return left;
}

} // namespace klavoro
