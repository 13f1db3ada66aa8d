// The main window as a shell: menus and commands, pop-up menus while busy,
// the message label, display modes, clipboard commands and the settings
// written at close.
#include "record/runmode.h"
#include "store/conffile.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "tests/unit/testutil.h"
#include "ui/clipboardtimer.h"
#include "ui/frmklavoro.h"
#include "ui/imageviewer.h"
#include "ui/thumbnailstrip.h"
#include "tests/desktop/testwindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace klavoro;
using klavoro::test::TestWindow;
using klavoro::test::FakeDialogs;
using klavoro::test::ScratchHome;

namespace {

void addSteps(frmKlavoro& w, int count) {
    for (int i = 1; i <= count; ++i)
        w.steps().append(buildStepLine(i,
                                       QStringLiteral("20261208090000%1").arg(i, 2, 10, QChar('0')),
                                       QStringLiteral("[OK](ボタン)を、クリックします。%1").arg(i),
                                       QStringLiteral("jpg"), i == 2 ? kCheckMark : QString()));
}

} // namespace

TEST(MainShell, MenuEntriesAreEnabledExactlyWhenTheyHaveACommand) {
    ScratchHome home;
    TestWindow tw;
    frmKlavoro& w = tw.window();
    const QStringList names = w.commands().names();
    for (QAction* a : w.findChildren<QAction*>()) {
        if (a->objectName().startsWith(QLatin1String("mnu")) && !a->menu()) {
            // Stop has a command but nothing to stop while idle.
            const bool expected =
                names.contains(a->objectName()) && a->objectName() != QLatin1String("mnuStop");
            EXPECT_EQ(a->isEnabled(), expected) << a->objectName().toStdString();
        }
    }
    // A command added later enables its entry and runs when the entry is triggered.
    int ran = 0;
    w.commands().add(QStringLiteral("mnuVersion"), [&ran] { ++ran; });
    w.updateCommandStates();
    QAction* version = w.findChild<QAction*>(QStringLiteral("mnuVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(version->isEnabled());
    version->trigger();
    EXPECT_EQ(ran, 1);
    // Captions carry no mnemonic marks.
    for (QAction* a : w.findChildren<QAction*>())
        EXPECT_FALSE(a->text().contains('&'));
}

TEST(MainShell, WhileRecordingPopupMenusOnlySayStop) {
    ScratchHome home;
    FakeDialogs dialogs;
    TestWindow tw({.dialogs = &dialogs});
    frmKlavoro& w = tw.window();
    runMode().set(kRunGo);
    w.showPopupMenu(QStringLiteral("mnuList"), QPoint(10, 10));
    EXPECT_FALSE(w.popupMenu(QStringLiteral("mnuList"))->isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("「停止」して下さい！"));
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("実行中は不可"));
    // Buttons follow the run mode: only stop while recording.
    w.commands().add(QStringLiteral("cmdGo"), [] {});
    w.commands().add(QStringLiteral("cmdStop"), [] {});
    w.setButtonsForRunMode();
    EXPECT_FALSE(w.cmdGo->isEnabled());
    EXPECT_TRUE(w.cmdStop->isEnabled());
    runMode().set(kRunIdle);
    EXPECT_TRUE(w.cmdGo->isEnabled());
    EXPECT_FALSE(w.cmdStop->isEnabled());
}

TEST(MainShell, MessageLabelRestoresItsCaptionAfterANotice) {
    ScratchHome home;
    TestWindow tw;
    frmKlavoro& w = tw.window();
    w.setMessageCaption(QStringLiteral("Ctrl+Shift+Eで記録終了"));
    w.showMessage(QStringLiteral("自動キャプチャー停止中"), 255);
    EXPECT_EQ(w.messageText(), QStringLiteral("自動キャプチャー停止中"));
    w.showMessage(QStringLiteral("範囲選択可"), 0xFF0000);
    w.showMessage(QString());
    EXPECT_EQ(w.messageText(), QStringLiteral("Ctrl+Shift+Eで記録終了"));
    EXPECT_FALSE(w.lblMsg->styleSheet().contains(QStringLiteral("#ff0000")));
}

TEST(MainShell, DisplayModesShowListImageOrBoth) {
    ScratchHome home;
    TestWindow tw;
    frmKlavoro& w = tw.window();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* optList = w.findChild<QRadioButton*>(QStringLiteral("optDisp1"));
    auto* optImage = w.findChild<QRadioButton*>(QStringLiteral("optDisp0"));
    ASSERT_TRUE(optList && optImage);
    QTest::mouseClick(optList, Qt::LeftButton);
    EXPECT_EQ(conf().disp, 1);
    EXPECT_TRUE(w.lstRecord->isVisible());
    EXPECT_FALSE(w.findChild<QWidget*>(QStringLiteral("Pic"))->isVisible());
    QTest::mouseClick(optImage, Qt::LeftButton);
    EXPECT_EQ(conf().disp, 0);
    EXPECT_FALSE(w.lstRecord->isVisible());
}

// As at a start: the window is placed from Conf.txt while one pane is still
// hidden, then the stored mode shows both.
TEST(MainShell, BothPanesShowAfterAStartInBothMode) {
    ScratchHome home;
    TestWindow tw;
    frmKlavoro& w = tw.window();
    w.placeMainWindow({100, 100, 700, 500}, 300);
    conf().disp = 2;
    conf().splitterLeft = 300;
    w.applySettings();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.relayout();
    QTest::qWait(100);
    auto* split = w.findChild<QSplitter*>(QStringLiteral("splitterList"));
    ASSERT_NE(split, nullptr);
    const QList<int> sizes = split->sizes();
    ASSERT_EQ(sizes.size(), 2);
    EXPECT_GT(sizes[0], 100);
    EXPECT_GT(sizes[1], 100);
    EXPECT_TRUE(w.findChild<QWidget*>(QStringLiteral("Pic"))->isVisible());
    EXPECT_TRUE(w.lstRecord->isVisible());
}

TEST(MainShell, ListIgnoresLeftAndRightAndShowsTheSelectedStep) {
    ScratchHome home;
    conf().disp = 2;
    TestWindow tw;
    frmKlavoro& w = tw.window();
    w.applySettings();
    addSteps(w, 3);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.selectLine(5); // beyond the end: the last line
    EXPECT_EQ(w.selectedStepNumber(), 3);
    EXPECT_EQ(w.txtNo->text(), QStringLiteral("3"));
    EXPECT_EQ(w.txtCtrl->text(), QStringLiteral("[OK](ボタン)を、クリックします。3"));
    w.lstRecord->setFocus();
    QTest::keyClick(w.lstRecord, Qt::Key_Up);
    EXPECT_EQ(w.selectedStepNumber(), 2);
    const int before = w.lstRecord->horizontalScrollBar()->value();
    QTest::keyClick(w.lstRecord, Qt::Key_Right);
    EXPECT_EQ(w.selectedStepNumber(), 2);
    EXPECT_EQ(w.lstRecord->horizontalScrollBar()->value(), before);
}

TEST(MainShell, CopyCommandsPutTheListLinesOnTheClipboard) {
    ScratchHome home;
    FakeDialogs dialogs;
    TestWindow tw({.dialogs = &dialogs});
    frmKlavoro& w = tw.window();
    addSteps(w, 2);
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuListAllCopy")));
    const QString first = QStringLiteral("1") + w.steps().line(1);
    const QString second = QStringLiteral("2") + w.steps().line(2);
    EXPECT_EQ(QApplication::clipboard()->text(), first + "\r\n" + second + "\r\n");
    EXPECT_EQ(w.statusText(), QStringLiteral("全行テキストをクリップボードにコピー！"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("全行テキストをクリップボードにコピー！\r\n"
                                                  "エクセルなどに貼り付けてご利用下さい。"));
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("クリップボードにコピー"));

    w.selectStep(2);
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuListCopy")));
    EXPECT_EQ(QApplication::clipboard()->text(), second);
    EXPECT_EQ(w.statusText(), QStringLiteral("選択行テキストをクリップボードにコピー！"));

    // Nothing selected: an empty text, and the messages all the same.
    w.lstRecord->clearSelection();
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuListCopy")));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "");
    EXPECT_EQ(dialogs.messages.size(), 3);
}

TEST(MainShell, ImageGoesToTheClipboardUnlessADoubleClickFollows) {
    ScratchHome home;
    QImage shown(4, 3, QImage::Format_RGB32);
    shown.fill(Qt::red);
    QString status;
    ClipboardTimer timer([&] { return shown; }, [&](const QString& s) { status = s; });
    QApplication::clipboard()->setText(QStringLiteral("before"));
    timer.start(QStringLiteral("pic"));
    QTest::qWait(100);
    timer.cancel(); // the double click
    QTest::qWait(400);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));

    timer.start(QStringLiteral("pic"));
    QTest::qWait(500);
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(4, 3));
    EXPECT_TRUE(status.startsWith(QStringLiteral("画像をクリップボードに転送！　")));

    QApplication::clipboard()->setText(QStringLiteral("again"));
    timer.start(QStringLiteral("thumb"));
    QTest::qWait(500);
    EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());
    EXPECT_TRUE(QApplication::clipboard()->image().isNull());
}

TEST(MainShell, SettingsWrittenAtCloseEqualThoseReadAtStart) {
    ScratchHome home;
    QDir().mkpath(home.path("data"));
    {
        TestWindow twfirst;
        frmKlavoro& first = twfirst.window();
        twfirst.graph().confFile().load(conf());
        first.applySettings();
        first.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
        QTest::qWait(200);
        first.close(); // the window writes its layout into the settings
        twfirst.graph().confFile().save(conf());
    }
    const QByteArray written = test::readBytes(home.path("Conf.txt"));
    ASSERT_FALSE(written.isEmpty());
    conf() = Settings();
    {
        TestWindow twsecond;
        frmKlavoro& second = twsecond.window();
        twsecond.graph().confFile().load(conf());
        second.applySettings();
        second.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
        QTest::qWait(200);
        second.close(); // the window writes its layout into the settings
        twsecond.graph().confFile().save(conf());
    }
    EXPECT_EQ(test::readBytes(home.path("Conf.txt")).toStdString(), written.toStdString());
}

TEST(MainShell, SelectingALineShowsItsImageAndScrollsTheStrip) {
    ScratchHome home;
    const QString data = home.path("data/");
    QDir().mkpath(data);
    conf().disp = 2;
    TestWindow tw;
    frmKlavoro& w = tw.window();
    w.applySettings();
    for (int i = 1; i <= 20; ++i) {
        const QString name = QStringLiteral("20261208090000%1").arg(i, 2, 10, QChar('0'));
        QImage shot(64, 48, QImage::Format_RGB32);
        shot.fill(QColor(i * 12, 255 - i * 12, 80));
        ASSERT_TRUE(shot.save(data + name + ".png"));
        w.steps().append(
            buildStepLine(i, name, QStringLiteral("手順%1").arg(i), QStringLiteral("png"), {}));
    }
    w.picList->setCaptureFolder(data);
    w.resize(900, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QSignalSpy shown(w.Pic, &ImageViewer::imageShown);
    w.selectStep(12);
    ASSERT_TRUE(shown.wait(3000));
    while (w.Pic->isLoading())
        QTest::qWait(10);
    const QImage image = w.currentImage();
    ASSERT_EQ(image.size(), QSize(64, 48));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(12 * 12, 255 - 12 * 12, 80));
    const int panels = w.stripPanelCount();
    ASSERT_GT(panels, 0);
    EXPECT_EQ(w.stripFirstStep(), std::max(1, 12 - panels + 1));
    // A step whose image is missing: an empty viewer, the line stays.
    QFile::remove(data + "2026120809000003.png");
    w.selectStep(3);
    ASSERT_TRUE(shown.wait(3000));
    EXPECT_TRUE(w.currentImage().isNull());
    EXPECT_EQ(w.steps().count(), 20);
}
