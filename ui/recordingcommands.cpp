// The recording commands: start (record button, its right click, the two
// menu entries), stop, and the input timer that runs while the window lives.
#include "capture/imagesaving.h"
#include "capture/monitorlayout.h"
#include "platform/accessibility.h"
#include "platform/screencopy.h"
#include "platform/services.h"
#include "platform/syntheticinput.h"
#include "record/areaselection.h"
#include "record/inputtimer.h"
#include "record/keypoller.h"
#include "record/recordingcontrol.h"
#include "record/runmode.h"
#include "settings/settingsopener.h"
#include "store/capturefolder.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/editcommands.h"
#include "ui/frmklavoro.h"
#include "ui/frmrect.h"
#include "ui/recordinghost.h"
#include "ui/settingcommands.h"

#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace klavoro {

namespace {

// Without an accessibility bus every element is unknown; steps still come.
class NoAccessibility : public Accessibility {
public:
    AccessibleRef objectAtPoint(QPoint) override { return nullptr; }
    AccessibleRef objectOfWindow(WindowId) override { return nullptr; }
    AccessibleRef focusedObject() override { return nullptr; }
};

class SavedMark : public StepImageHost {
public:
    explicit SavedMark(frmKlavoro& w) : m_w(w) {}
    void markSaved(int step) override { m_w.refreshThumbnails(step); }
    void publishStatus(const QString& status) override { m_w.publishStatus(status); }

private:
    frmKlavoro& m_w;
};

struct RecordingFamily {
    RecordingFamily(frmKlavoro& window, PlatformServices& p)
        : w(window), host(window), services{*p.desktop,
                                            *p.keyState,
                                            *p.screenCopy,
                                            *p.cursor,
                                            p.accessibility ? *p.accessibility : noAccessibility,
                                            p.screenText},
          poller(*p.keyState, *p.desktop), area(&overlay,
                                                [screen = p.screenCopy](QPoint at) {
                                                    return monitorAt(
                                                        screen->monitors(), at,
                                                        QRect(QPoint(0, 0), screen->screenSize()));
                                                }),
          inputTimer(poller, area, host, runMode()),
          control(services, *p.inputHook, p.hotKeys, poller, area, window.steps(),
                  window.operationList(), host, runMode(), options),
          savedMark(window),
          saver(window.steps(), window.operationList(), window.dialogs(), savedMark) {
        host.saveMainPicture = [this](int n) { saveMainPicture(n); };
        host.deleteAll = [this] { return deleteAllStepsAndFiles(w); };
    }

    void start(bool manual) {
        options = RecordingOptions::from(w.startOptions());
        inputTimer.start(); // the loop's timers run beside it
        control.setHookWindow(w.winId());
        control.startCommand(manual);
    }

    // Ctrl+S: the picture of a step that automatic saving did not write.
    void saveMainPicture(int n) {
        if (n <= 0) return;
        const QString name = w.steps().field(n, FieldImageName);
        const CapturedImages& last = control.pipeline().lastCapture();
        if (name.isEmpty() || last.marked.isNull() || name != w.txtFileName->text()) return;
        if (!findImageFile(captureFolder(), name).isEmpty()) return; // saved already
        saver.saveStepImage(n, QString(), false, last);
    }

    frmKlavoro& w;
    WindowRecordingHost host;
    NoAccessibility noAccessibility;
    RecordingServices services;
    KeyPoller poller;
    frmRect overlay;
    AreaSelection area;
    InputTimer inputTimer;
    RecordingOptions options;
    RecordingControl control;
    SavedMark savedMark;
    StepImageSaver saver;
    bool manualNext = false;
};

} // namespace

void registerRecordingCommands(frmKlavoro& w, CommandMap& map) {
    PlatformServices* p = w.platform();
    // Without these nothing could be recorded: the commands stay disabled.
    if (!p || !p->desktop || !p->keyState || !p->inputHook || !p->screenCopy || !p->cursor) return;
    auto family = std::make_shared<RecordingFamily>(w, *p);
    RecordingFamily* f = family.get();

    map.add(QStringLiteral("cmdGo"),
            [family] { family->start(std::exchange(family->manualNext, false)); });
    map.add(QStringLiteral("mnuGo_0"), [family] { family->start(false); });
    map.add(QStringLiteral("mnuGo_1"), [family] { family->start(true); });
    // A right click starts with automatic capture paused, through the
    // button's own click so that everything a click does happens.
    map.add(QStringLiteral("cmdGo_Right"), [family, &w] {
        PlatformServices* services = w.platform();
        if (services && services->syntheticInput && w.cmdGo->underMouse()) {
            family->manualNext = true;
            services->syntheticInput->pressLeftButton();
            services->syntheticInput->releaseLeftButton();
        } else {
            family->start(true);
        }
    });
    for (const char* name : {"cmdStop", "mnuStop"})
        map.add(QString::fromLatin1(name), [family] {
            if (family->control.isRecording())
                family->control.stopCommand();
            else
                runMode().set(kRunIdle); // playback listens to the run mode too
        });
    // A deletion sets the recording's step number (the start command then
    // takes it from the step-number field, which the deletion set too).
    setRecordingStepNumberSink(w,
                               [f](int n) { f->control.pipeline().committer().setStepNumber(n); });
    // Start-up arms the input timer; it runs from then on, recording or not.
    map.add(QStringLiteral("Timer_MsgLoop"), [f] { f->inputTimer.start(); });
    // Before the list is saved at close, every captured step is in it.
    QObject::connect(&w, &frmKlavoro::closing, &w, [f] { f->control.finishNow(); });
    QObject::connect(&settingsOpener(w), &SettingsOpener::targetChangedWhileRecording, &w,
                     [f] { f->control.reinstallHook(); });
}

} // namespace klavoro
