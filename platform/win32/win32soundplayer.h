#pragma once

#include "platform/sound.h"

namespace klavoro::win32 {

// PlaySoundW from a file. The first failure (no audio device, a file the
// system cannot play) is logged once and later plays are skipped, so a
// machine without sound costs one line in log.txt.
class Win32SoundPlayer : public SoundPlayer {
public:
    bool play(const QString& path, bool wait) override;
    bool hasFailed() const { return m_failed; }

private:
    bool m_failed = false;
};

} // namespace klavoro::win32
