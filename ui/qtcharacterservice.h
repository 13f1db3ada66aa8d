#pragma once

#include "platform/character.h"

#include <QStringList>

namespace klavoro {

// Characters from *.kchar files in the given folders (normally the `chars`
// folder of the shipped files), shown as windows of our own.
class QtCharacterService : public CharacterService {
public:
    explicit QtCharacterService(QStringList folders) : m_folders(std::move(folders)) {}
    QList<CharacterEntry> catalogue() override;
    std::unique_ptr<Character> load(const QString& id, const QString& path) override;

private:
    QStringList m_folders;
};

} // namespace klavoro
