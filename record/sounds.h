#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace klavoro {

class SoundPlayer;

// The sound theme folders of the desktop: "sounds" under each of
// $XDG_DATA_HOME and $XDG_DATA_DIRS (/usr/local/share and /usr/share by default).
QStringList soundThemeRoots();

// The file of a sound setting (`chime`, `sound start`): an absolute path as it
// is; otherwise media/<name> of the shipped files, then in each theme root the
// name itself, then the freedesktop theme's file of the same stem or of the
// matching event ("chimes" -> complete, "notify" -> message, "chord" -> bell)
// as .wav, .oga or .ogg. Empty when none exists.
QString findSoundFile(const QString& name, const QStringList& themeRoots = soundThemeRoots());

// The recording's sounds: played only when `capture sound` is 1 or the start
// option "sound" was given; a sound that is not found plays nothing and is
// logged once.
class StepSounds {
public:
    explicit StepSounds(SoundPlayer* player, QStringList themeRoots = soundThemeRoots());

    // True when a sound was started (or, with `wait`, played to its end).
    bool play(const QString& name, bool soundOption, bool wait = false);

private:
    SoundPlayer* m_player;
    QStringList m_roots;
    QSet<QString> m_reported;
};

} // namespace klavoro
