#include "platform/fake/fakedesktop.h"
#include "platform/shell.h"
#include "store/editwait.h"
#include "store/events.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// A desktop whose editor window appears when the shell opens the file and
// goes away after a number of checks.
class ScriptedDesktop : public FakeDesktop, public Shell {
public:
    QList<WindowId> findTopLevelWindows(const QString& part) override {
        lastSearch = part;
        return editorOpen ? QList<WindowId>{42} : QList<WindowId>{};
    }
    bool windowExists(WindowId w) override {
        if (w != 42 || !editorOpen) return false;
        if (--checksUntilClosed <= 0) editorOpen = false;
        return editorOpen;
    }
    void setForegroundWindow(WindowId w) override { foreground = w; }
    void setTopMost(WindowId w, bool on) override { topMost << qMakePair(w, on); }
    bool open(const QString& path) override {
        opened << path;
        editorOpen = opensWindow;
        return true;
    }
    bool showFolder(const QString&) override { return true; }

    bool editorOpen = false, opensWindow = true;
    int checksUntilClosed = 3;
    QString lastSearch;
    QStringList opened;
    WindowId foreground = 0;
    QList<QPair<WindowId, bool>> topMost;
};

} // namespace

TEST(EditAndWait, OpensWaitsForTheEditorAndRestoresTheWindow) {
    ScratchHome home;
    ScriptedDesktop d;
    QList<bool> mainTopMost;
    int restored = 0;
    EditWaitHooks hooks{[] { return false; }, [&] { ++restored; },
                        [&](bool on) { mainTopMost << on; }};
    EXPECT_EQ(editAndWait("/p/Conf.txt", 4, d, d, hooks), QString());
    EXPECT_EQ(d.lastSearch, "Conf");
    EXPECT_EQ(d.opened, QStringList{"/p/Conf.txt"});
    EXPECT_EQ(d.foreground, 42u);
    EXPECT_EQ(d.topMost.first(), qMakePair(WindowId(42), true));
    EXPECT_FALSE(d.editorOpen); // it waited until the editor closed
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(mainTopMost, (QList<bool>{true, false})); // `disp top` 0: not left on top
    conf().dispTop = 1;
    mainTopMost.clear();
    d.checksUntilClosed = 1;
    EXPECT_EQ(editAndWait("/p/Conf.txt", 4, d, d, hooks), QString());
    EXPECT_EQ(mainTopMost, QList<bool>{true});
}

TEST(EditAndWait, RefusesASecondEditorAndReportsOneThatNeverOpens) {
    ScratchHome home;
    ScriptedDesktop d;
    EditWaitHooks hooks;
    d.editorOpen = true;
    EXPECT_EQ(editAndWait("/p/Conf.txt", 4, d, d, hooks),
              QStringLiteral("Conf が既に開かれています。\r\n\r\n閉じて下さい！"));
    EXPECT_TRUE(d.opened.isEmpty());

    d.editorOpen = false;
    d.opensWindow = false;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(editAndWait("/p/Conf.txt", 4, d, d, hooks),
              QStringLiteral("Conf の起動に失敗しました！"));
    EXPECT_GE(t.elapsed(), 3000);
}

TEST(EditAndWait, EscapeOrAShortNameEndsTheWait) {
    ScratchHome home;
    ScriptedDesktop d;
    d.checksUntilClosed = 1000000;
    EditWaitHooks esc{[] { return true; }, {}, {}};
    EXPECT_EQ(editAndWait("/p/Conf.txt", 4, d, d, esc), QString());
    EXPECT_TRUE(d.editorOpen);
    // A name shorter than the minimum is not waited for (and not refused).
    EditWaitHooks none;
    EXPECT_EQ(editAndWait("/p/a.txt", 4, d, d, none), QString());
}

TEST(Events, WaitKeepsTimersRunning) {
    int fired = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
    timer.start(10);
    waitMs(120);
    EXPECT_GE(fired, 3);
}
