// Playback from the play button (left and right click), the play menu and
// the list's menu; stop from the button and the menu; the close box while
// playing.
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// The steps a playback showed, read from the title ("再生中 7/30") until it
// ends; `atStep` runs once for each new step seen.
QList<int> watchPlayback(ProgramSession& s, const std::function<void(int)>& atStep = {},
                         int ms = 20000) {
    static const QRegularExpression playing(QStringLiteral("再生中 (\\d+)/(\\d+)"));
    QList<int> seen;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        const auto m = playing.match(s.title());
        if (m.hasMatch()) {
            const int step = m.captured(1).toInt();
            if (seen.isEmpty() || seen.last() != step) {
                seen << step;
                if (atStep) atStep(step);
            }
        } else if (!seen.isEmpty()) {
            break; // the title is back: playback ended
        }
        pause(20);
    }
    return seen;
}

// The picture on the screen is the step's.
bool showsStep(ProgramSession& s, int step) {
    return waitUntil(
        [&] {
            const UiElement picture = s.viewer();
            return picture &&
                   similarColour(s.ui().pixel(picture.rect.topLeft() + QPoint(30, 30)),
                                 stepColour(step), 40);
        },
        3000);
}

} // namespace

TEST(Playback, FromTheButtonTheMenusAndTheListMenu) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString title = s.title();

    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("再生"), title));
    QList<int> seen = watchPlayback(s);
    ASSERT_FALSE(seen.isEmpty()) << "the play button played nothing";
    EXPECT_LE(seen.first(), 2);
    EXPECT_EQ(seen.last(), 30);
    EXPECT_GE(seen.size(), 20) << "steps were skipped";
    EXPECT_TRUE(waitUntil([&] { return s.title() == title; })) << "title not restored";
    EXPECT_TRUE(showsStep(s, 30));

    // A right click plays from the selected step.
    ASSERT_TRUE(s.select(20));
    s.ui().click(s.button(QStringLiteral("再生")).centre(), MouseButton::Right);
    seen = watchPlayback(s);
    ASSERT_FALSE(seen.isEmpty()) << "the right click played nothing";
    EXPECT_TRUE(seen.first() >= 20 && seen.first() <= 21) << seen.first();
    EXPECT_EQ(seen.last(), 30);

    ASSERT_TRUE(s.select(25));
    ASSERT_TRUE(s.menu(QStringLiteral("再生"), QStringLiteral("再生 - 選択位置から")));
    seen = watchPlayback(s);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_TRUE(seen.first() >= 25 && seen.first() <= 26) << seen.first();
    ASSERT_TRUE(s.menu(QStringLiteral("再生"), QStringLiteral("再生 - 先頭から")));
    seen = watchPlayback(s);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_LE(seen.first(), 2);
    EXPECT_EQ(seen.last(), 30);

    ASSERT_TRUE(s.select(27));
    ASSERT_TRUE(s.listMenu(QStringLiteral("再生 - 選択位置から")));
    seen = watchPlayback(s);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_TRUE(seen.first() >= 27 && seen.first() <= 28) << seen.first();
    ASSERT_TRUE(s.listMenu(QStringLiteral("再生 - 先頭から")));
    seen = watchPlayback(s);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_LE(seen.first(), 2);
    EXPECT_TRUE(showsStep(s, 30));
    // The right click is turned into a click of the button itself.
    EXPECT_EQ(s.ran(),
              QStringList({"cmdPlay", "cmdPlay_Right", "cmdPlay", "mnuPlayFromCurrent",
                           "mnuPlayFromTop", "mnuListPlayFromCurrent", "mnuListPlayFromTop"}));
    EXPECT_TRUE(s.close());
}

TEST(Playback, StopsFromTheButtonAndTheMenu) {
    ProgramSession s(ProgramSession::conf({QStringLiteral("play span = 0.6")}));
    ASSERT_TRUE(s.ready());
    const QString title = s.title();
    // While it plays the program answers its accessibility tree only between
    // its waits: where to click is learnt before.
    const UiElement stop = s.button(QStringLiteral("停止"));
    ASSERT_TRUE(stop);
    const UiElement recordMenu =
        s.ui().find(QStringLiteral("menu item"), QStringLiteral("記録"), 5000, title);
    s.ui().click(recordMenu.centre());
    const UiElement stopEntry =
        s.ui().find(QStringLiteral("menu item"), QStringLiteral("停止  Ctrl+F2"), 5000);
    s.ui().key(QStringLiteral("Escape"));
    ASSERT_TRUE(stopEntry);

    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("再生"), title));
    bool stopped = false;
    QList<int> seen = watchPlayback(s, [&](int step) {
        if (step < 3 || stopped) return;
        stopped = true;
        s.ui().click(stop.centre());
    });
    ASSERT_TRUE(stopped) << "playback never reached step 3";
    EXPECT_LE(seen.last(), 5) << "停止 did not stop the playback";
    EXPECT_TRUE(waitUntil([&] { return s.title() == title; }));
    const int shown = seen.last();
    EXPECT_TRUE(s.row(shown).selected) << "the step it stopped at is not selected";
    EXPECT_TRUE(showsStep(s, shown));

    ASSERT_TRUE(s.menu(QStringLiteral("再生"), QStringLiteral("再生 - 先頭から")));
    stopped = false;
    seen = watchPlayback(s, [&](int step) {
        if (step < 3 || stopped) return;
        stopped = true;
        s.ui().click(recordMenu.centre());
        EXPECT_TRUE(waitUntil([&] { return s.ui().popupOpen(); }, 3000));
        s.ui().click(stopEntry.centre());
    });
    ASSERT_TRUE(stopped);
    EXPECT_LE(seen.last(), 6) << "the menu's 停止 did not stop the playback";
    EXPECT_EQ(s.ran(), QStringList({"cmdPlay", "cmdStop", "mnuPlayFromTop", "mnuStop"}));
    EXPECT_TRUE(s.close());
}

TEST(Playback, ClosingTheWindowWhilePlayingEndsTheProgramAtOnce) {
    ProgramSession s(ProgramSession::conf({QStringLiteral("play span = 3")}));
    ASSERT_TRUE(s.ready());
    const QStringList names = opListField(s.folder(), 1);
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("再生"), s.title()));
    ASSERT_TRUE(waitUntil([&] { return s.title().contains(QStringLiteral("再生中 2/30")); }, 10000));
    QElapsedTimer clock;
    clock.start();
    s.run().requestClose(s.mainWindow());
    ASSERT_TRUE(s.run().waitForExit(10000)) << "still playing";
    // A sanitizer build checks for leaks on the way out; that is not the program's time.
    const int allowed = qEnvironmentVariableIsSet("KLAVORO_SANITIZED") ? 4000 : 1000;
    EXPECT_LE(clock.elapsed(), allowed) << "the program took that long to end";
    EXPECT_EQ(s.run().process().exitCode(), 0);
    EXPECT_FALSE(confValue(s.home(), QStringLiteral("disp")).isNull()) << "settings not saved";
    EXPECT_EQ(opListField(s.folder(), 1), names);
}
