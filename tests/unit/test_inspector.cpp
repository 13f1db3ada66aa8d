#include "describe/inspector.h"
#include "describe/phrase.h"
#include "platform/fake/fakeaccessibility.h"
#include "platform/fake/fakedesktop.h"
#include "store/settings.h"
#include "tests/unit/testutil.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

// A window with a menu bar, an open menu, a list and a button, laid out the
// way toolkits report them.
class Inspection : public ::testing::Test {
protected:
    Inspection() {
        frame =
            service.add(QStringLiteral("frame"), 9, QStringLiteral("Fixture"), {0, 0, 400, 300});
        menuBar = service.add(QStringLiteral("menubar"), 2, QString(), {0, 0, 400, 20}, frame);
        fileItem = service.add(QStringLiteral("file"), 12, QStringLiteral("ファイル(F)"),
                               {0, 0, 60, 20}, menuBar);
        area = service.add(QStringLiteral("area"), 10, QString(), {0, 20, 400, 280}, frame);
        ok = service.add(QStringLiteral("ok"), 43, QStringLiteral("OK"), {250, 30, 80, 25}, area);
        ok->stateBits = 0x100004;
        ok->action = QStringLiteral("Press");
        list =
            service.add(QStringLiteral("list"), 33, QStringLiteral("色"), {10, 100, 200, 90}, area);
        item =
            service.add(QStringLiteral("item"), 34, QStringLiteral("赤"), {10, 100, 200, 20}, list);
        // The open menu is a window of its own over the main one, and its
        // parent is the menu bar item that opened it.
        menu = service.add(QStringLiteral("menu"), 11, QString(), {0, 20, 150, 60});
        menu->parentElement = fileItem;
        open = service.add(QStringLiteral("open"), 12, QStringLiteral("開く(O)..."),
                           {0, 20, 150, 20}, menu);
    }

    ElementInfo inspect(QPoint p, double mag = 1.0) {
        ElementInfo info;
        inspector.inspectPoint(info, p, mag);
        return info;
    }

    QString sentence(const ElementInfo& info) {
        return mouseSentence(QStringLiteral("Left"), QString(), info, settings, dialogs).value();
    }

    FakeAccessibility service;
    FakeDesktop desktop;
    ElementInspector inspector{service, desktop};
    Settings settings;
    test::FakeDialogs dialogs;
    FakeElementRef frame, menuBar, fileItem, area, ok, list, item, menu, open;
};

} // namespace

TEST_F(Inspection, ButtonGivesItsNameRoleAndTheSentence) {
    const ElementInfo info = inspect(ok->rect.center());
    EXPECT_EQ(info.name, QStringLiteral("OK"));
    EXPECT_EQ(info.roleNumber, QStringLiteral("43"));
    EXPECT_EQ(info.roleText, QStringLiteral("ボタン"));
    EXPECT_EQ(info.stateNumber, QStringLiteral("1048580"));
    EXPECT_EQ(info.stateText, QStringLiteral("フォーカスされています。フォーカス可。"));
    EXPECT_EQ(info.defAction, QStringLiteral("Press"));
    EXPECT_EQ(info.childCount, QStringLiteral("0"));
    // A control is its own window: the parent part of the sentence falls away.
    EXPECT_EQ(info.parentName, QStringLiteral("OK"));
    EXPECT_EQ(info.parentRoleText, QStringLiteral("ウィンドウ"));
    EXPECT_EQ((QRect{info.left, info.top, info.width, info.height}), ok->rect);
    EXPECT_EQ(sentence(info), QStringLiteral("[OK](ボタン)を、クリックします。"));
}

TEST_F(Inspection, MenuItemNamesTheMenuAfterTheItemThatOpensIt) {
    const ElementInfo info = inspect(open->rect.center());
    EXPECT_EQ(info.name, QStringLiteral("開く(O)..."));
    EXPECT_EQ(info.roleText, QStringLiteral("メニュー項目"));
    EXPECT_EQ(info.parentName, QStringLiteral("ファイル(F)"));
    EXPECT_EQ(info.parentRoleText, QStringLiteral("メニュー"));
    EXPECT_EQ(sentence(info), QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"));

    menu->elementName = QStringLiteral("ファイルメニュー");
    EXPECT_EQ(inspect(open->rect.center()).parentName, QStringLiteral("ファイルメニュー"));
}

TEST_F(Inspection, ListItemNamesItsList) {
    const ElementInfo info = inspect(item->rect.center());
    EXPECT_EQ(info.parentName, QStringLiteral("色"));
    EXPECT_EQ(info.parentRoleText, QStringLiteral("データグリッド"));
    EXPECT_EQ(sentence(info),
              QStringLiteral("[色](データグリッド)の[赤](データ項目)を、クリックします。"));
}

TEST_F(Inspection, AnItemOfANamelessListStandsAlone) {
    // No "(データグリッド)の" for a list nobody named.
    list->elementName.clear();
    const ElementInfo info = inspect(item->rect.center());
    EXPECT_EQ(sentence(info), QStringLiteral("[赤](データ項目)を、クリックします。"));
}

TEST_F(Inspection, EmptyAreaOfAWindow) {
    const ElementInfo info = inspect({300, 250});
    EXPECT_EQ(info.roleText, QStringLiteral("カスタム"));
    EXPECT_EQ(sentence(info), QStringLiteral("(カスタム)を、クリックします。"));
}

TEST_F(Inspection, NothingAtThePointKeepsTheRecord) {
    ElementInfo info = inspect(ok->rect.center());
    const ElementInfo before = info;
    inspector.inspectPoint(info, {900, 900}, 1.0);
    EXPECT_EQ(info, before);
}

TEST_F(Inspection, LocationIsScaledByTextMag) {
    ok->rect = QRect(300, 30, 81, 25);
    const ElementInfo info = inspect({320, 40}, 1.25);
    EXPECT_EQ(info.left, 375);
    EXPECT_EQ(info.width, 101);
    EXPECT_EQ(info.top, 38);    // 37.5 -> even
    EXPECT_EQ(info.height, 31); // 31.25
}

TEST_F(Inspection, NegativePointInspectsTheFocusedControl) {
    service.setFocused(item);
    const ElementInfo info = inspect({-1, 5});
    EXPECT_EQ(info.name, QStringLiteral("赤"));
    EXPECT_EQ(service.pointQueries, 0);
    EXPECT_EQ(inspector.lastFocusedObject(), item);

    // Without a focused control the record stays as it was.
    service.setFocused(nullptr);
    ElementInfo kept = info;
    inspector.inspectPoint(kept, {5, -1}, 1.0);
    EXPECT_EQ(kept, info);
}

TEST_F(Inspection, NameAtPoint) {
    EXPECT_EQ(inspector.nameAtPoint(ok->rect.center()), QStringLiteral("OK"));
    EXPECT_EQ(inspector.nameAtPoint({900, 900}), QString());
}

TEST(BrowserContent, WholeNamesIgnoringCase) {
    const QString list = Settings().getTopWindow;
    EXPECT_TRUE(isBrowserContent(QStringLiteral("chrome_renderwidgethosthwnd"), list));
    EXPECT_TRUE(isBrowserContent(QStringLiteral("MOZILLAWINDOWCLASS"), list));
    EXPECT_FALSE(isBrowserContent(QStringLiteral("Chrome_RenderWidgetHost"), list));
    EXPECT_FALSE(isBrowserContent(QStringLiteral("Chrome_RenderWidgetHostHWND2"), list));
    EXPECT_FALSE(isBrowserContent(QString(), QStringLiteral("a,,b,")));
    EXPECT_FALSE(isBrowserContent(QStringLiteral("x"), QString()));
}

namespace {
void addWindow(FakeDesktop& desktop, WindowId id, WindowId parent, const char* className) {
    FakeWindow w;
    w.id = id;
    w.parent = parent;
    w.rect = QRect(0, 0, 100, 100);
    w.className = QString::fromLatin1(className);
    desktop.addWindow(w);
}
} // namespace

TEST(TopLevelWindow, WalksUpButStopsBelowTheTaskbar) {
    FakeDesktop desktop;
    addWindow(desktop, 10, 0, "App");
    addWindow(desktop, 11, 10, "Pane");
    addWindow(desktop, 12, 11, "Edit");
    addWindow(desktop, 20, 0, "Shell_TrayWnd");
    addWindow(desktop, 21, 20, "ReBar");
    addWindow(desktop, 22, 21, "Button");

    EXPECT_EQ(topLevelWindowOf(desktop, 12), WindowId(10));
    EXPECT_EQ(topLevelWindowOf(desktop, 10), WindowId(10));
    // Deep inside the taskbar: the child of the taskbar is the answer.
    EXPECT_EQ(topLevelWindowOf(desktop, 22), WindowId(21));
    // A direct child of the taskbar goes on up to the taskbar itself.
    EXPECT_EQ(topLevelWindowOf(desktop, 21), WindowId(20));
}
