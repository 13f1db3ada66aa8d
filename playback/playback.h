#pragma once

#include <QRect>
#include <QSize>
#include <QString>

namespace klavoro {

class CharacterService;
class RunMode;
struct Settings;

// What playback needs of the main window and of time.
class PlaybackHost {
public:
    virtual ~PlaybackHost() = default;
    virtual int stepCount() const = 0;
    // Selects list index k (-1: no step selected); the window shows the step.
    virtual void selectIndex(int k) = 0;
    // The status line and the caption show the same progress text.
    virtual void showProgress(const QString& text) = 0;
    // Buttons for playing (start, play, folders, settings off; stop on) or idle;
    // the status line cleared and the normal title back when idle.
    virtual void setPlaying(bool playing) = 0;
    virtual void processEvents() = 0;
    virtual void sleepMs(int ms) = 0;
    virtual qint64 tickMs() = 0;
    virtual QRect mainWindowRect() const = 0;
    virtual QSize screenSize() const = 0;
    // The monitor that holds the main window.
    virtual QRect mainWindowMonitor() const { return QRect(QPoint(0, 0), screenSize()); }
};

// "再生中 i/Total".
QString playingText(int i, int total);

// The slide show: selects step after step and waits `play span` between them,
// in 100 ms slices that keep the window responsive and notice a stop (the run
// mode set to "") at once. With `anime char` set, a character greets at the
// start and waves at the end; any failure of it leaves playback without one.
class Playback {
public:
    Playback(PlaybackHost& host, RunMode& mode, const Settings& settings,
             CharacterService* characters);

    // Plays from step n (1-based; 0 starts on no selection) to the last step.
    void playFrom(int n);

    // Where the character goes beside a main window at `window` on `screen`.
    static QPoint characterTarget(const QRect& window, QSize screen, int characterWidth);
    // The same on the main window's monitor: its edges stand for the screen's.
    static QPoint characterTarget(const QRect& window, const QRect& monitor, int characterWidth);

private:
    struct Run;
    void startCharacter(Run& run);
    void endCharacter(Run& run);
    void placeCharacter(Run& run);
    void waitWithEvents(int ms);

    PlaybackHost& m_host;
    RunMode& m_mode;
    const Settings& m_settings;
    CharacterService* m_characters;
};

} // namespace klavoro
