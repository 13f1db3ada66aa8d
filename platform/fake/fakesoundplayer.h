#pragma once

#include "platform/sound.h"

#include <QStringList>

namespace klavoro {

// Remembers what it was asked to play; plays nothing.
class FakeSoundPlayer : public SoundPlayer {
public:
    bool play(const QString& path, bool wait) override {
        played << path;
        waited << wait;
        return works;
    }
    QStringList played;
    QList<bool> waited;
    bool works = true;
};

} // namespace klavoro
