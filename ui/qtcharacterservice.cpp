#include "ui/qtcharacterservice.h"

#include "playback/characterfile.h"
#include "store/logs.h"
#include "ui/characterwindow.h"

#include <QDir>

namespace klavoro {

QList<CharacterEntry> QtCharacterService::catalogue() {
    QList<CharacterEntry> entries;
    for (const QString& folder : m_folders) {
        const QDir dir(folder);
        if (!dir.exists()) continue;
        for (const QString& file :
             dir.entryList({QStringLiteral("*.kchar")}, QDir::Files, QDir::Name)) {
            QString error;
            const CharacterModel model = readCharacterFile(dir.filePath(file), &error);
            if (model.name.isEmpty()) {
                writeLog(QStringLiteral("キャラクターファイルを読めません：") + dir.filePath(file) +
                         QStringLiteral(" ") + error);
                continue;
            }
            entries.append({model.name, file, QDir::cleanPath(folder)});
        }
    }
    return entries;
}

std::unique_ptr<Character> QtCharacterService::load(const QString&, const QString& path) {
    CharacterModel model = readCharacterFile(path);
    if (model.name.isEmpty()) return nullptr;
    return std::make_unique<QtCharacter>(std::move(model));
}

} // namespace klavoro
