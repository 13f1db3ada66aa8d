#pragma once

#include <QList>
#include <QString>

#include <memory>

namespace klavoro {

// A desktop character shown beside the main window during playback: it thinks
// in a balloon, plays named animations and glides to a point. Requests are
// queued; the character animates on its own.
class Character {
public:
    virtual ~Character() = default;
    virtual QString name() const = 0;
    virtual void setSoundEffectsOn(bool on) = 0;
    // A missing font falls back to an installed Japanese one.
    virtual void setBalloonFont(const QString& family, int pointSize) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // An empty text closes the balloon.
    virtual void think(const QString& text) = 0;
    // An animation the character does not have is ignored; false then.
    virtual bool play(const QString& animation) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // False once a hide has finished.
    virtual bool isVisible() const = 0;
};

// One character file found by the catalogue.
struct CharacterEntry {
    QString name;     // the character's own name
    QString fileName; // the identifier it is loaded by
    QString folder;
    bool operator==(const CharacterEntry&) const = default;
};

// Finds and loads characters.
class CharacterService {
public:
    virtual ~CharacterService() = default;
    // Every character file of the searched folders, in search order.
    virtual QList<CharacterEntry> catalogue() = 0;
    // Null when the file cannot be loaded.
    virtual std::unique_ptr<Character> load(const QString& id, const QString& path) = 0;
};

} // namespace klavoro
