// Playback in the real window, with the shipped character on the X server.
#include "platform/services.h"
#include "platform/x11/x11syntheticinput.h"
#include "record/runmode.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/characterwindow.h"
#include "ui/frmklavoro.h"
#include "ui/qtcharacterservice.h"
#include "tests/desktop/testwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

struct PlaybackWindow {
    QTemporaryDir home;
    test::TestWindow tw;
    frmKlavoro& w;
    QList<int> selections;
    bool exposed = false;

    explicit PlaybackWindow(int steps, PlatformServices* platform = nullptr)
        : tw({.platform = platform}), w(tw.window()) {
        qputenv(kProgramFolderEnv, home.path().toLocal8Bit());
        resetProgramFolder();
        conf() = Settings();
        conf().disp = 2;
        QDir().mkpath(home.path() + "/chars");
        QFile::copy(QStringLiteral(KLAVORO_SOURCE_DIR "/chars/merlin.kchar"),
                    home.path() + "/chars/merlin.kchar");
        for (int i = 1; i <= steps; ++i)
            w.steps().append(
                buildStepLine(i, QStringLiteral("2026120809000%1").arg(i, 3, 10, QChar('0')),
                              QStringLiteral("手順%1").arg(i), QStringLiteral("jpg"), {}));
        w.move(760, 500);
        w.show();
        exposed = QTest::qWaitForWindowExposed(&w);
        w.setButtonsForRunMode();
        QObject::connect(w.lstRecord->selectionModel(), &QItemSelectionModel::currentChanged, &w,
                         [this](const QModelIndex& i) { selections << i.row(); });
    }
    ~PlaybackWindow() {
        runMode().set(kRunIdle);
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
        conf() = Settings();
    }
    QList<QWidget*> characterWindows() const {
        QList<QWidget*> found;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == QLatin1String("characterWindow") && t->isVisible()) found << t;
        return found;
    }
};

} // namespace

TEST(Playback, PlaysFromTheTopAndReturnsToIdle) {
    PlaybackWindow p(5);
    conf().animeChar.clear();
    conf().playSpan = 0.3f;
    QString modeDuring;
    QTimer::singleShot(150, &p.w, [&] { modeDuring = runMode().text(); });
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(p.w.runCommand(QStringLiteral("mnuPlayFromTop")));
    EXPECT_GE(t.elapsed(), 1400);
    EXPECT_EQ(modeDuring, kRunPlay);
    EXPECT_EQ(p.selections, (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(runMode().isIdle());
    EXPECT_TRUE(p.w.cmdPlay->isEnabled());
    EXPECT_TRUE(p.characterWindows().isEmpty()); // none asked for
}

TEST(Playback, StopDuringAWaitEndsQuicklyWithTheStepStillSelected) {
    PlaybackWindow p(5);
    conf().animeChar.clear();
    conf().playSpan = 2.0f;
    QElapsedTimer stopAt;
    QTimer::singleShot(2500, &p.w, [&] {
        stopAt.start();
        p.w.cmdStop->click();
    });
    ASSERT_TRUE(p.w.runCommand(QStringLiteral("cmdPlay")));
    EXPECT_LT(stopAt.elapsed(), 200);
    EXPECT_EQ(p.selections, (QList<int>{0, 1}));
    EXPECT_EQ(p.w.selectedStepNumber(), 2);
    EXPECT_TRUE(runMode().isIdle());
    EXPECT_EQ(p.w.statusText(), QString());
}

TEST(Playback, TheCharacterGreetsBesideTheWindowAndIsGoneAfterwards) {
    PlaybackWindow p(2);
    conf().playSpan = 0.5f;
    QList<QWidget*> shown;
    QString balloonText;
    QRect character, window;
    QTimer::singleShot(400, &p.w, [&] {
        shown = p.characterWindows();
        if (!shown.isEmpty()) character = shown.first()->geometry();
        window = p.w.frameGeometry();
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<BalloonWindow*>(t); b && b->isVisible())
                balloonText = b->text();
    });
    ASSERT_TRUE(p.w.runCommand(QStringLiteral("mnuPlayFromTop")));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(balloonText, QStringLiteral("こんにちは"));
    EXPECT_EQ(character.right() + 1, window.left()); // just left of the main window
    EXPECT_EQ(character.top(), window.top() + 25);
    QTest::qWait(100);
    EXPECT_TRUE(p.characterWindows().isEmpty());
    EXPECT_TRUE(runMode().isIdle());
}

TEST(Playback, UnknownAnimationIsIgnoredAndABalloonFontFallsBack) {
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(KLAVORO_SOURCE_DIR "/chars/merlin.kchar"),
                dir.path() + "/merlin.kchar");
    QtCharacterService service({dir.path()});
    const QList<CharacterEntry> entries = service.catalogue();
    ASSERT_EQ(entries.size(), 1);
    auto c = service.load(entries[0].fileName, entries[0].folder + "/" + entries[0].fileName);
    ASSERT_TRUE(c);
    auto* qc = static_cast<QtCharacter*>(c.get());
    c->show();
    EXPECT_FALSE(c->play(QStringLiteral("Dance")));
    EXPECT_FALSE(qc->window()->isAnimating());
    EXPECT_TRUE(c->play(QStringLiteral("Wave")));
    EXPECT_TRUE(qc->window()->isAnimating());
    // The design's font is not on Linux: an installed Japanese one draws the balloon.
    const QString family = balloonFontFamily(QStringLiteral("MS Pゴシック"));
    EXPECT_FALSE(family.isEmpty());
    EXPECT_NE(family, QStringLiteral("MS Pゴシック"));
    c->hide();
    QElapsedTimer t;
    t.start();
    while (c->isVisible() && t.elapsed() < 3000)
        QTest::qWait(20);
    EXPECT_FALSE(c->isVisible());
}

// A right click on the play button becomes a left click marked "next": the
// show starts at the selected step.
TEST(Playback, RightClickOnThePlayButtonPlaysFromTheSelection) {
    x11::X11SyntheticInput input;
    if (!input.isOpen()) GTEST_SKIP() << input.errorText().toStdString();
    PlatformServices platform;
    platform.syntheticInput = &input;
    PlaybackWindow p(4, &platform);
    conf().animeChar.clear();
    conf().playSpan = 0.1f;
    p.w.selectStep(3);
    p.selections.clear();
    input.moveTo(p.w.cmdPlay->mapToGlobal(p.w.cmdPlay->rect().center()));
    QTest::qWait(150);
    input.button(MouseButton::Right, true);
    QTest::qWait(60);
    input.button(MouseButton::Right, false);
    QElapsedTimer t;
    t.start();
    while ((p.selections.isEmpty() || !runMode().isIdle()) && t.elapsed() < 5000)
        QTest::qWait(20);
    // Step 3 was selected already, so only the move on to step 4 shows.
    EXPECT_EQ(p.selections, (QList<int>{3}));
    EXPECT_TRUE(runMode().isIdle());
}
