#include "export/newfile.h"

#include "export/documentsteps.h"
#include "store/osfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace klavoro {

QString moveToNewName(const QString& temporary, const QString& folder, const QString& base,
                      const QString& extension) {
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? base : base + QStringLiteral("(%1)").arg(n);
        const QString path = folder + name + '.' + extension;
        // Taking the name first with an exclusive create makes the rename
        // below replace only our own empty file, even with another program
        // writing in the folder at the same time.
        QFile reserve(path);
        if (!reserve.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) continue;
            return {};
        }
        reserve.close();
        if (renameOver(temporary, path)) return path;
        QFile::remove(path);
        return {};
    }
    return {};
}

QString writeNewDocument(const QString& folder, const QString& base, const QString& extension,
                         const DocumentWrite& write, QString* error) {
    const QString temporary = folder + QStringLiteral(".klavoro-") +
                              QUuid::createUuid().toString(QUuid::Id128) + '.' + extension +
                              QStringLiteral(".tmp");
    QString why;
    if (!write(temporary, &why)) {
        QFile::remove(temporary);
        if (error) *error = why;
        return {};
    }
    const QString path = moveToNewName(temporary, folder, base, extension);
    if (path.isEmpty()) {
        QFile::remove(temporary);
        if (error) *error = QStringLiteral("ファイル名を決められません：") + folder;
    }
    return path;
}

DocumentWriter::DocumentWriter(ExportHost& host, const Settings& settings, QString extension)
    : m_host(host), m_settings(settings), m_extension(std::move(extension)) {}

QString DocumentWriter::writeNew() {
    return writeNewDocument(
        m_host.captureFolder(), QStringLiteral("操作説明"), m_extension,
        [this](const QString& path, QString* error) {
            const bool ok = writeTo(path);
            *error = m_error;
            return ok;
        },
        &m_error);
}

} // namespace klavoro
