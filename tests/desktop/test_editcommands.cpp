// The editing commands as the main window runs them.
#include "store/capturefolder.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "tests/unit/edittesting.h"
#include "ui/editcommands.h"
#include "ui/frmklavoro.h"
#include "ui/frmmsgedit.h"
#include "tests/desktop/testwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Window {
    ScratchHome home;
    EditDialogs dialogs;
    TestWindow tw{{.dialogs = &dialogs}};
    frmKlavoro& w = tw.window();
    Window() {
        for (int i = 1; i <= 5; ++i) {
            const QString name = QStringLiteral("20261208090000%1").arg(i, 2, 10, QChar('0'));
            w.steps().append(buildStepLine(i, name, QStringLiteral("文%1").arg(i), "jpg", {}));
            for (const QString& rel :
                 {name + ".jpg", "NO_RECT/" + name + ".jpg", "Thumb/Thumb_" + name + ".jpg"}) {
                QDir().mkpath(QFileInfo(captureFolder() + rel).absolutePath());
                writeBytes(captureFolder() + rel, "x");
            }
        }
        w.show();
        w.activateWindow();
    }
    QString name(int n) { return w.steps().field(n, FieldImageName); }
    QString message(int n) { return w.steps().field(n, FieldMessage); }
};

} // namespace

TEST(EditCommands, ListDeleteRemovesTheSelectedStepWithItsFiles) {
    Window t;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.w));
    t.w.selectStep(3);
    const QString gone = t.name(3);
    EXPECT_TRUE(t.w.runCommand(QStringLiteral("mnuListDel")));
    EXPECT_EQ(t.dialogs.questions.last(),
              QStringLiteral("選択している No = 3 を削除します。よろしいですか？"));
    EXPECT_EQ(t.w.steps().count(), 4);
    EXPECT_EQ(t.w.selectedStepNumber(), 3);
    EXPECT_EQ(t.message(3), QStringLiteral("文4"));
    EXPECT_FALSE(QFileInfo::exists(captureFolder() + gone + ".jpg"));
    EXPECT_FALSE(QFileInfo::exists(captureFolder() + "Thumb/Thumb_" + gone + ".jpg"));
    EXPECT_EQ(t.w.statusText(), QStringLiteral("削除完了"));
}

TEST(EditCommands, CtrlDownAndCtrlUpMoveTheSelectedStep) {
    Window t;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.w));
    t.w.selectStep(2);
    t.w.lstRecord->setFocus();
    QTest::keyClick(t.w.lstRecord, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(t.message(3), QStringLiteral("文2"));
    EXPECT_EQ(t.w.selectedStepNumber(), 3);
    QTest::keyClick(t.w.lstRecord, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(t.w.lstRecord, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(t.message(1), QStringLiteral("文2"));
    EXPECT_EQ(t.w.selectedStepNumber(), 1);
    EXPECT_TRUE(t.w.runCommand(QStringLiteral("mnuListMove_3")));
    EXPECT_EQ(t.message(5), QStringLiteral("文2"));
    EXPECT_TRUE(readBytes(captureFolder() + "OpList.txt").size() > 0);
}

TEST(EditCommands, DoubleClickOnTheStepNumberShowsAndHidesTheDebugMenu) {
    Window t;
    QMenu* debug = t.w.popupMenu(QStringLiteral("mnuDebugTop"));
    ASSERT_NE(debug, nullptr);
    EXPECT_FALSE(debug->menuAction()->isVisible());
    QTest::mouseDClick(t.w.txtNo, Qt::LeftButton);
    EXPECT_TRUE(debug->menuAction()->isVisible());
    QTest::mouseDClick(t.w.txtNo, Qt::LeftButton);
    EXPECT_FALSE(debug->menuAction()->isVisible());
}

TEST(EditCommands, DeletingAllForANewRecordingAsksNothing) {
    Window t;
    t.w.txtCtrl->setText(QStringLiteral("文"));
    EXPECT_TRUE(deleteAllStepsAndFiles(t.w));
    EXPECT_TRUE(t.dialogs.questions.isEmpty());
    EXPECT_EQ(t.w.steps().count(), 0);
    EXPECT_EQ(t.w.txtCtrl->text(), "");
    EXPECT_EQ(t.w.txtNo->text(), "");
    EXPECT_FALSE(QDir(captureFolder() + "Thumb").exists());
    EXPECT_EQ(QDir(captureFolder()).entryList(QDir::Files), QStringList());
}

// The editor is modal: a timer answers it from inside its own event loop.
TEST(EditCommands, DoubleClickOnTheListEditsTheSentenceAndSavesTheList) {
    Window t;
    conf().disp = 2; // the list beside the image
    t.w.applySettings();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.w));
    int waited = 0;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* editor = qobject_cast<frmMsgEdit*>(QApplication::activeModalWidget());
        if (editor) {
            answer.stop();
            editor->txtMsg->setPlainText(QStringLiteral("書き直し"));
            editor->cmdClose[0]->click();
        } else if (++waited > 250 && QApplication::activeModalWidget()) {
            QApplication::activeModalWidget()->close();
        }
    });
    answer.start();
    QTest::qWait(100); // laid out again
    const QRect r = t.w.lstRecord->visualRect(t.w.steps().index(1));
    ASSERT_TRUE(t.w.lstRecord->isVisible() && r.isValid() && !r.isEmpty());
    QTest::mouseClick(t.w.lstRecord->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(t.w.lstRecord->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(t.message(2), QStringLiteral("書き直し"));
    EXPECT_EQ(t.w.txtCtrl->text(), QStringLiteral("書き直し"));
    EXPECT_FALSE(t.w.operationList().messageEdited);
    EXPECT_TRUE(fromShiftJis(readBytes(captureFolder() + "OpList.txt"))
                    .contains(QStringLiteral("書き直し")));
}
