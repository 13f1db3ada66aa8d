#include "playback/playback.h"

#include "platform/character.h"
#include "record/runmode.h"
#include "store/settings.h"

#include <QPoint>

#include <cmath>

namespace klavoro {

struct Playback::Run {
    std::unique_ptr<Character> character;
    QPoint remembered{0, 0};
};

QString playingText(int i, int total) {
    return QStringLiteral("再生中 %1/%2").arg(i).arg(total);
}

Playback::Playback(PlaybackHost& host, RunMode& mode, const Settings& settings,
                   CharacterService* characters)
    : m_host(host), m_mode(mode), m_settings(settings), m_characters(characters) {}

void Playback::playFrom(int n) {
    m_host.setPlaying(true);
    m_mode.set(kRunPlay);
    Run run;
    if (!m_settings.animeChar.isEmpty() && m_characters) startCharacter(run);

    const int total = m_host.stepCount();
    const qint64 span = std::llround(double(m_settings.playSpan) * 1000.0);
    for (int i = std::max(n, 0); i <= total; ++i) {
        m_host.showProgress(playingText(i, total));
        m_host.selectIndex(i - 1);
        const qint64 t0 = m_host.tickMs();
        m_host.processEvents();
        const qint64 t1 = m_host.tickMs();
        if (!m_mode.is(kRunPlay)) break;
        qint64 remaining = std::max<qint64>(0, span - (t1 - t0));
        bool stopped = false;
        while (remaining >= 1 && !stopped) {
            // Ten slices of 10 ms, each followed by the window's events, so
            // that a stop is seen within one slice.
            for (int slice = 0; slice < 10 && !stopped; ++slice) {
                m_host.sleepMs(10);
                m_host.processEvents();
                stopped = !m_mode.is(kRunPlay);
            }
            remaining -= 100;
        }
        if (stopped) break;
    }

    if (run.character) endCharacter(run);
    m_mode.set(kRunIdle);
    m_host.setPlaying(false);
}

QPoint Playback::characterTarget(const QRect& window, QSize screen, int characterWidth) {
    return characterTarget(window, QRect(QPoint(0, 0), screen), characterWidth);
}

QPoint Playback::characterTarget(const QRect& window, const QRect& m, int characterWidth) {
    // Distances are measured from the monitor's own edges.
    const int x = window.left() - m.left() >= m.width() / 6.0
                      ? window.left() - characterWidth
                      : m.left() + int(std::floor(m.width() / 2.0)) - characterWidth;
    const int y = window.top() - m.top() >= m.height() / 10.0
                      ? window.top() + 25
                      : m.top() + int(std::floor(m.height() / 2.0));
    return {x, y};
}

void Playback::startCharacter(Run& run) {
    for (const CharacterEntry& entry : m_characters->catalogue()) {
        if (entry.name != m_settings.animeChar) continue; // exact, case-sensitive
        run.character =
            m_characters->load(entry.fileName, entry.folder + QLatin1Char('/') + entry.fileName);
        break;
    }
    if (!run.character) return;
    Character& c = *run.character;
    placeCharacter(run);
    c.setSoundEffectsOn(false);
    c.setBalloonFont(m_settings.balloonFont, m_settings.balloonFontsize.toInt());
    c.show();
    if (!m_settings.playSpeakStartMsg.isEmpty()) {
        c.think(m_settings.playSpeakStartMsg);
        c.play(QStringLiteral("Greet"));
        c.play(m_settings.animePlayStart);
        // The character animates on this thread: let it run meanwhile.
        waitWithEvents(1000);
    }
    c.think(QString());
}

void Playback::placeCharacter(Run& run) {
    Character& c = *run.character;
    const QPoint target = characterTarget(m_host.mainWindowRect(), m_host.mainWindowMonitor(), c.width());
    const QPoint current(c.left(), c.top());
    if (current != run.remembered || current.x() == target.x() || current.y() == target.y()) return;
    c.moveTo(target.x(), target.y());
    if (run.remembered.x() != 0 && run.remembered.y() != 0) waitWithEvents(2500);
    run.remembered = target;
}

void Playback::waitWithEvents(int ms) {
    for (int waited = 0; waited < ms; waited += 10) {
        m_host.sleepMs(10);
        m_host.processEvents();
    }
}

void Playback::endCharacter(Run& run) {
    Character& c = *run.character;
    if (!m_settings.playSpeakEndMsg.isEmpty()) c.think(m_settings.playSpeakEndMsg);
    c.play(m_settings.animePlayEnd);
    c.hide();
    // The hide animates; wait for it, but never longer than 2 s.
    for (int waited = 0; c.isVisible() && waited < 2000; waited += 10) {
        m_host.sleepMs(10);
        m_host.processEvents();
    }
    run.character.reset();
}

} // namespace klavoro
