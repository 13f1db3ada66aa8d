// The play commands: a slide show of the steps in the main window.
#include "platform/desktop.h"
#include "platform/services.h"
#include "platform/syntheticinput.h"
#include "playback/playback.h"
#include "record/runmode.h"
#include "store/events.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/steplist.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/screens.h"
#include "ui/qtcharacterservice.h"

#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>
#include <QThread>

#include <memory>

namespace klavoro {

namespace {

class WindowPlaybackHost : public PlaybackHost {
public:
    explicit WindowPlaybackHost(frmKlavoro& w) : m_w(w) { m_clock.start(); }
    int stepCount() const override { return m_w.steps().count(); }
    void selectIndex(int k) override {
        if (k < 0)
            m_w.lstRecord->clearSelection();
        else
            m_w.selectLine(k);
    }
    void showProgress(const QString& text) override {
        m_w.setStatus(text);
        m_w.setWindowTitle(text);
    }
    void setPlaying(bool playing) override {
        if (playing) return; // the buttons follow the run mode
        m_w.setStatus(QString());
        m_w.restoreTitle();
    }
    void processEvents() override { letEventsRun(); }
    void sleepMs(int ms) override { QThread::msleep(ulong(ms)); }
    qint64 tickMs() override { return m_clock.elapsed(); }
    QRect mainWindowRect() const override { return m_w.frameGeometry(); }
    QSize screenSize() const override { return m_w.screenSize(); }
    QRect mainWindowMonitor() const override { return monitorOf(&m_w); }

private:
    frmKlavoro& m_w;
    QElapsedTimer m_clock;
};

struct PlayState {
    explicit PlayState(frmKlavoro& w) : host(w) {}
    WindowPlaybackHost host;
    QString variant; // "next": the play button starts from the selection
};

void playFrom(PlayState& state, int n) {
    if (!runMode().isIdle()) return;
    // A close or 停止 ends the run at the next slice.
    LongOperation playing([] { runMode().set(kRunIdle); });
    std::unique_ptr<CharacterService> characters;
    if (!conf().animeChar.isEmpty())
        characters = std::make_unique<QtCharacterService>(
            QStringList{shippedFilesFolder() + QStringLiteral("chars")});
    Playback(state.host, runMode(), conf(), characters.get()).playFrom(n);
}

} // namespace

void registerPlaybackCommands(frmKlavoro& w, CommandMap& map) {
    auto state = std::make_shared<PlayState>(w);
    auto fromCurrent = [&w, state] { playFrom(*state, w.selectedStepNumber()); };
    auto fromTop = [&w, state] {
        w.cmdSetting->setEnabled(false);
        playFrom(*state, 1);
        w.setButtonsForRunMode();
    };
    map.add(QStringLiteral("mnuPlayFromCurrent"), fromCurrent);
    map.add(QStringLiteral("mnuListPlayFromCurrent"), fromCurrent);
    map.add(QStringLiteral("mnuPlayFromTop"), fromTop);
    map.add(QStringLiteral("mnuListPlayFromTop"), fromTop);

    auto play = [&w, state, fromCurrent, fromTop] {
        const bool next = state->variant == QLatin1String("next");
        w.showMessage(next ? QStringLiteral("選択位置から再生中")
                           : QStringLiteral("先頭から再生中"));
        if (next)
            fromCurrent();
        else
            fromTop();
        state->variant.clear();
        w.showMessage(QString());
    };
    map.add(QStringLiteral("cmdPlay"), play);
    map.add(QStringLiteral("mnuPlay_0"), [state, play] {
        state->variant.clear();
        play();
    });
    map.add(QStringLiteral("mnuPlay_1"), [state, play] {
        state->variant = QStringLiteral("next");
        play();
    });
    // A right click becomes an ordinary click of the button, marked "next".
    map.add(QStringLiteral("cmdPlay_Right"), [&w, state, play] {
        state->variant = QStringLiteral("next");
        PlatformServices* p = w.platform();
        if (p && p->syntheticInput && w.cmdPlay->underMouse()) {
            p->syntheticInput->pressLeftButton();
            p->syntheticInput->releaseLeftButton();
        } else {
            play();
        }
    });
}

} // namespace klavoro
