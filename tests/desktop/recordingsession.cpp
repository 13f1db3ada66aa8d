#include "tests/desktop/recordingsession.h"

#include "record/runmode.h"
#include "record/waitmarker.h"
#include "store/capturefolder.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/frmklavoro.h"

#include <QTest>

namespace klavoro::test {

RecordingSession::RecordingSession() {
    m_answers.answer3 = Dialogs::Answer::No;
    m_platform.desktop = &desktop;
    m_platform.keyState = &m_keys;
    m_platform.inputHook = &m_hook;
    m_platform.hotKeys = &m_hotKeys;
    m_platform.screenCopy = &screen;
    m_platform.cursor = &m_cursor;
    m_platform.syntheticInput = &m_synthetic;
    m_platform.accessibility = &m_accessibility;
    m_platform.screenText = &m_screenText;
    conf().autoRestart = 0;
    m_graph = std::make_unique<TestWindow>(
        TestWindow::Options{.dialogs = &m_answers, .platform = &m_platform});
    m_window = &m_graph->window();
    m_window->move(700, 500);
    m_window->resize(500, 400);
    m_window->show();
    (void)QTest::qWaitForWindowExposed(m_window);
    hand.button(MouseButton::Left, false);
}

RecordingSession::~RecordingSession() {
    if (isRecording()) stop();
    m_window->close();
    m_graph.reset();
    m_window = nullptr;
    runMode().set(kRunIdle);
}

bool RecordingSession::isRecording() {
    return runMode().is(kRunGo) && waitMarkerExists();
}

bool RecordingSession::start(const QString& command) {
    if (!m_window->runCommand(command)) return false;
    // The loop begins a moment after the command, and the window goes.
    return waitUntil([this] { return isRecording(); }) && (pause(150), true);
}

bool RecordingSession::stop() {
    m_window->runCommand(QStringLiteral("cmdStop"));
    return waitUntil([this] { return runMode().isIdle() && !waitMarkerExists(); });
}

bool RecordingSession::waitForSteps(int n, int ms) {
    return waitUntil([&] { return m_window->steps().count() >= n; }, ms);
}

int RecordingSession::stepCount() {
    return m_window->steps().count();
}

QString RecordingSession::sentence(int n) {
    return m_window->steps().field(n, FieldMessage);
}

QString RecordingSession::imageName(int n) {
    return m_window->steps().field(n, FieldImageName);
}

QString RecordingSession::imagePath(int n) {
    return captureFolder() + imageName(n) + '.' + m_window->steps().field(n, FieldExtension);
}

QImage RecordingSession::image(int n) {
    return QImage(imagePath(n));
}

QString RecordingSession::opList() {
    return fromShiftJis(readBytes(captureFolder() + QStringLiteral("OpList.txt")));
}

void RecordingSession::moveTo(QPoint p, int settleMs) {
    hand.moveTo(p);
    pause(settleMs);
}

void RecordingSession::click(QPoint p, int holdMs) {
    moveTo(p);
    hand.button(MouseButton::Left, true);
    pause(holdMs);
    hand.button(MouseButton::Left, false);
    pause(60);
}

void RecordingSession::press(MouseButton b) {
    hand.button(b, true);
    pause(60);
}

void RecordingSession::release(MouseButton b) {
    hand.button(b, false);
    pause(60);
}

void RecordingSession::type(const QString& letters) {
    for (QChar c : letters) {
        const int vk = c.toUpper().unicode();
        hand.sendKey(vk, false);
        hand.sendKey(vk, true);
        pause(30);
    }
}

void RecordingSession::hotKey(char letter) {
    hand.sendKey(17, false);
    hand.sendKey(16, false);
    hand.sendKey(letter, false);
    hand.sendKey(letter, true);
    hand.sendKey(16, true);
    hand.sendKey(17, true);
    pause(100);
}

namespace {
std::unique_ptr<FixtureApp> g_fixture;
}

FixtureApp& recordingFixture() {
    if (!g_fixture) {
        g_fixture = std::make_unique<FixtureApp>(
            QStringList{QStringLiteral("--title"), QStringLiteral("Recording Fixture"),
                        QStringLiteral("--pos"), QStringLiteral("40,40")});
        g_fixture->start();
    }
    return *g_fixture;
}

void stopRecordingFixture() {
    g_fixture.reset();
}

int redPixels(const QImage& image) {
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
        }
    return red;
}

} // namespace klavoro::test
