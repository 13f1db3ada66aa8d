#include "export/imagefileindex.h"

#include "store/capturefolder.h"

#include <QDir>

#include <algorithm>

namespace klavoro {

ImageFileIndex::ImageFileIndex(const QString& folder) {
    m_files = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    m_names = QSet<QString>(m_files.begin(), m_files.end());
}

QString ImageFileIndex::find(const QString& imageName) const {
    const QStringList forms = imageFileNames(imageName);
    static const char* const kCommon[] = {"bmp", "gif", "jpeg", "jpg", "png"};
    for (const QString& form : forms)
        for (const char* ext : kCommon) {
            const QString name = form + '.' + QLatin1String(ext);
            if (m_names.contains(name)) return name;
        }
    if (forms.isEmpty()) return {};
    if (!m_sorted) {
        // Plain code-unit order: the first file of a name is the smallest one.
        std::sort(m_files.begin(), m_files.end());
        m_sorted = true;
    }
    for (const QString& form : forms) {
        const QString prefix = form + '.';
        const auto it = std::lower_bound(m_files.cbegin(), m_files.cend(), prefix);
        if (it != m_files.cend() && it->startsWith(prefix)) return *it;
    }
    for (const QString& form : forms)
        if (m_names.contains(form)) return form;
    return {};
}

} // namespace klavoro
