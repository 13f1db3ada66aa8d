#pragma once

#include <QString>

namespace klavoro {

// Plays WAV files. A missing file or no audio device plays nothing.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // `wait` blocks until the sound has ended; otherwise it returns at once.
    // False when nothing could be played.
    virtual bool play(const QString& path, bool wait) = 0;
};

} // namespace klavoro
