#include "platform/x11/x11desktop.h"
#include "store/settings.h"
#include "tests/desktop/fixtureapp.h"
#include "ui/frmpopup.h"
#include "ui/frmsplash.h"
#include "ui/noticewindows.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// Counts how often a window was shown (mapped from hidden).
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) ++shows;
        return false;
    }
};

int visibleSplashWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmSplash*>(w) && w->isVisible()) ++n;
    return n;
}

struct Settled {
    Settled() {
        conf() = Settings();
        QCursor::setPos(5, 5); // away from the corner of the pop-up
    }
    ~Settled() { conf() = Settings(); }
};

} // namespace

TEST(ProgressWindow, SuccessiveMessagesChangeTheTextOfOneWindow) {
    Settled s;
    NoticeWindows notices({});
    notices.showProgress(QStringLiteral("既存画像読み込み中・・・"));
    frmSplash* w = notices.progressWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w, 15000));
    ShowCounter counter;
    w->installEventFilter(&counter);
    notices.showProgress(QStringLiteral("サムネイル作成中"));
    pause(50);
    EXPECT_EQ(notices.progressWindow(), w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->lblMsg->text(), QStringLiteral("サムネイル作成中"));
    EXPECT_EQ(counter.shows, 0); // changed in place, never hidden and shown again
    EXPECT_EQ(visibleSplashWindows(), 1);
    notices.showProgress(QString());
    EXPECT_FALSE(notices.isProgressShowing());
}

TEST(ProgressWindow, ADisplayTimeClosesItByItself) {
    Settled s;
    NoticeWindows notices({});
    notices.showProgress(QStringLiteral("終了します！"), 1000);
    ASSERT_TRUE(notices.isProgressShowing());
    pause(600);
    EXPECT_TRUE(notices.isProgressShowing());
    EXPECT_TRUE(waitUntil([&] { return !notices.isProgressShowing(); }, 1500));
    // A later message opens it again, without the old timer.
    notices.showProgress(QStringLiteral("次"));
    pause(300);
    EXPECT_TRUE(notices.isProgressShowing());
}

TEST(ProgressWindow, NoProgressShowsNothingButAnEmptyTextStillCloses) {
    Settled s;
    NoticeWindows notices({});
    notices.showProgress(QStringLiteral("HTML作成中・・・119\r\n"));
    ASSERT_TRUE(notices.isProgressShowing());
    conf().noProgress = 1;
    notices.showProgress(QString());
    EXPECT_FALSE(notices.isProgressShowing());
    notices.showProgress(QStringLiteral("表示しない"));
    notices.showPopup(QStringLiteral("表示しない"));
    pause(100);
    EXPECT_FALSE(notices.isProgressShowing());
    EXPECT_FALSE(notices.isPopupShowing());
    EXPECT_EQ(visibleSplashWindows(), 0);
}

TEST(ProgressWindow, HeightFollowsTheLineCountAndItCentresOverTheMainWindow) {
    Settled s;
    QMainWindow main;
    main.setGeometry(200, 150, 700, 500);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main, 15000));
    NoticeWindows notices([&main]() -> QWidget* { return &main; });
    notices.showProgress(QStringLiteral("一行"), 0, true);
    frmSplash* w = notices.progressWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w, 15000));
    const int oneLine = w->height();
    pause(100);
    EXPECT_LE((w->frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2);
    notices.showProgress(QStringLiteral("一行\r\n二行\r\n三行"), 0, true);
    const int threeLines = w->height();
    // 1000 twips at 15 to the pixel, give or take the rounding.
    EXPECT_NEAR(threeLines - oneLine, 1000.0 / 15, 1.0);
    EXPECT_EQ(frmSplash::heightTwips(QStringLiteral("a\r\nb\r\nc")) -
                  frmSplash::heightTwips(QStringLiteral("a")),
              1000);
    EXPECT_EQ(frmSplash::lineCount(QStringLiteral("a\nb")), 2); // a plain LF breaks too
    EXPECT_EQ(w->lblMsg->text(), QStringLiteral("一行\n二行\n三行"));
    pause(100);
    EXPECT_LE((w->frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2);
    notices.showProgress(QString());
}

TEST(NoticeWindows, NeitherWindowTakesTheFocus) {
    Settled s;
    QWidget main;
    auto* edit = new QLineEdit(&main);
    main.resize(300, 100);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    edit->setFocus();
    x11::X11Desktop desktop;
    const WindowId before = main.winId();
    // The window manager activates asynchronously; start from a settled desktop.
    ASSERT_TRUE(waitUntil([&] { return desktop.foregroundWindow() == before; }, 3000));
    NoticeWindows notices([&main]() -> QWidget* { return &main; });
    notices.showProgress(QStringLiteral("作成中 ...... 1/3"), 0, true);
    notices.showPopup(QStringLiteral("開始"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(notices.popupWindow(), 15000));
    pause(200);
    EXPECT_EQ(QApplication::activeWindow(), &main);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(desktop.foregroundWindow(), before);
    EXPECT_TRUE(notices.progressWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(notices.popupWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(PopupWindow, SitsInTheCornerAndClosesAfterTheCountdown) {
    Settled s;
    conf().timeAutoClose = 1;
    NoticeWindows notices({});
    notices.showPopup(QStringLiteral("12"), 0x0000FF);
    frmPopup* w = notices.popupWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w, 15000));
    pause(100);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect r = w->frameGeometry();
    EXPECT_EQ(r.x() + r.width(), screen.width() - 10);
    EXPECT_EQ(r.y() + r.height(), screen.height() - 50);
    EXPECT_EQ(w->lblMsg->text(), QStringLiteral("12"));
    EXPECT_EQ(w->lblMsg->palette().color(QPalette::WindowText), QColor(Qt::red));
    pause(400);
    EXPECT_TRUE(notices.isPopupShowing());
    EXPECT_TRUE(waitUntil([&] { return !notices.isPopupShowing(); }, 1500));
    // The default colour is blue.
    notices.showPopup(QStringLiteral("開始"));
    EXPECT_EQ(w->lblMsg->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(w->countdown(), 1000);
    w->cmdClose->click();
    EXPECT_FALSE(notices.isPopupShowing());
}

TEST(PopupWindow, ThePointerOverItClosesItAtOnce) {
    Settled s;
    conf().timeAutoClose = 30;
    NoticeWindows notices({});
    notices.showPopup(QStringLiteral("キャプチャー停止"));
    frmPopup* w = notices.popupWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w, 15000));
    pause(200);
    ASSERT_TRUE(notices.isPopupShowing());
    QCursor::setPos(w->frameGeometry().center());
    EXPECT_TRUE(waitUntil([&] { return !notices.isPopupShowing(); }, 2000));
    QCursor::setPos(5, 5);
}
