#pragma once

#include "platform/sound.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>

class QProcess;

namespace klavoro::x11 {

// What is there to play sounds with.
struct AudioEnvironment {
    bool pulseServer = false; // a PulseAudio (or PipeWire-Pulse) server socket
    bool alsaDevice = false;  // an ALSA playback device in /dev/snd
    QStringList programs;     // the players found on PATH, by name
    static AudioEnvironment probe();
};

struct SoundCommand {
    QString program;
    QStringList arguments;
};

// paplay through a sound server (it reads WAV and Ogg), else aplay straight
// to the device (WAV only). None: nothing can play this file here.
std::optional<SoundCommand> chooseSoundCommand(const QString& file, const AudioEnvironment& env);

// Plays each sound in a child process, so the caller never waits for the
// audio system (unless it asks to). The first failure (no player, no device,
// a player that ends with an error) is logged once and later plays are
// skipped, so a machine without sound costs one line in log.txt.
class ProcessSoundPlayer : public SoundPlayer {
public:
    using Chooser = std::function<std::optional<SoundCommand>(const QString& file)>;
    // The default looks at the environment once, on the first play.
    explicit ProcessSoundPlayer(Chooser chooser = {});
    ~ProcessSoundPlayer() override;

    bool play(const QString& path, bool wait) override;

    bool hasFailed() const { return m_failed; }
    int runningCount() const { return int(m_running.size()); }

    // More sounds at once than this are dropped (a fast burst of clicks).
    static constexpr int kMaxRunning = 3;

private:
    void fail(const QString& why);
    void finished(QProcess* process);

    Chooser m_chooser;
    QList<QProcess*> m_running;
    QSet<QString> m_unplayable;
    bool m_failed = false;
};

} // namespace klavoro::x11
