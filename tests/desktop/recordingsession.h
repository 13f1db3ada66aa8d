#pragma once

// The main window recording on the test desktop with the real platform
// services, and the user's hand (XTest) to click and type in the fixture.
#include "platform/services.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/atspiscreentext.h"
#include "platform/x11/x11cursor.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11hotkeys.h"
#include "platform/x11/x11inputhook.h"
#include "platform/x11/x11keystate.h"
#include "platform/x11/x11screencopy.h"
#include "platform/x11/x11syntheticinput.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/desktop/testwindow.h"
#include "tests/unit/testutil.h"

#include <QImage>

#include <memory>

namespace klavoro {
class frmKlavoro;
}

namespace klavoro::test {

class RecordingSession {
public:
    RecordingSession();
    ~RecordingSession();

    frmKlavoro& window() { return *m_window; }
    FakeDialogs& answers() { return m_answers; }
    PlatformServices& platform() { return m_platform; }

    // Runs a start command ("cmdGo", "mnuGo_1") and waits until recording runs.
    bool start(const QString& command = QStringLiteral("cmdGo"));
    // Runs the stop command and waits until the loop has ended.
    bool stop();
    bool isRecording();
    // Waits until the list holds `n` steps.
    bool waitForSteps(int n, int ms = 5000);
    int stepCount();
    QString sentence(int n);
    QString imageName(int n);
    QString imagePath(int n);
    QImage image(int n);
    QString opList();

    // The user's hand.
    void moveTo(QPoint p, int settleMs = 80);
    void click(QPoint p, int holdMs = 120);
    void press(MouseButton b = MouseButton::Left);
    void release(MouseButton b = MouseButton::Left);
    void type(const QString& letters);
    // Ctrl+Shift+letter.
    void hotKey(char letter);

    x11::X11Desktop desktop;
    x11::X11SyntheticInput hand;
    x11::X11ScreenCopy screen;

private:
    ScratchHome m_home;
    x11::X11KeyState m_keys;
    x11::X11InputHook m_hook;
    x11::X11HotKeys m_hotKeys;
    x11::X11Cursor m_cursor;
    x11::X11SyntheticInput m_synthetic;
    x11::AtspiAccessibility m_accessibility{desktop};
    x11::AtspiScreenText m_screenText{desktop, m_accessibility.isAvailable()};
    PlatformServices m_platform;
    FakeDialogs m_answers;
    std::unique_ptr<TestWindow> m_graph;
    frmKlavoro* m_window = nullptr;
};

// A fixture of its own for the recording tests (they click and type in it).
FixtureApp& recordingFixture();
void stopRecordingFixture();

// Red pixels of a picture (the marker's colour).
int redPixels(const QImage& image);

} // namespace klavoro::test
