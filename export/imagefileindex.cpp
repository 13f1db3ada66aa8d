#include "export/imagefileindex.h"

#include "store/capturefolder.h"

#include <QDir>

#include <algorithm>

namespace klavoro {

ImageFileIndex::ImageFileIndex(const QString& folder) {
    m_sorted = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    // Plain code-unit order, as the lookup of a name's first file needs.
    std::sort(m_sorted.begin(), m_sorted.end());
    m_names = QSet<QString>(m_sorted.begin(), m_sorted.end());
}

QString ImageFileIndex::find(const QString& imageName) const {
    if (!isSafeImageName(imageName)) return {};
    static const char* const kCommon[] = {"bmp", "gif", "jpeg", "jpg", "png"};
    for (const char* ext : kCommon) {
        const QString name = imageName + '.' + QLatin1String(ext);
        if (m_names.contains(name)) return name;
    }
    const QString prefix = imageName + '.';
    const auto it = std::lower_bound(m_sorted.cbegin(), m_sorted.cend(), prefix);
    if (it != m_sorted.cend() && it->startsWith(prefix)) return *it;
    if (m_names.contains(imageName)) return imageName;
    return {};
}

} // namespace klavoro
