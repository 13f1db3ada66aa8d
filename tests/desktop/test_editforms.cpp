#include "platform/inputmethod.h"
#include "store/dialogs.h"
#include "ui/frmcheckfile.h"
#include "edit/messageedit.h"
#include "store/oplist.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "edit/stepedithost.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/frmmsgedit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

class AnsweringDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        messages << text;
        titles << title;
    }
    bool askYesNo(const QString& text, const QString&, bool) override {
        questions << text;
        return yes;
    }
    bool askOkCancel(const QString& text, const QString&) override {
        questions << text;
        return yes;
    }
    bool askOkCancelDefaultCancel(const QString& text, const QString& title) override {
        cancelFirst = true;
        return askOkCancel(text, title);
    }
    QStringList messages, titles, questions;
    bool yes = true, cancelFirst = false;
};

class FakeInputMethod : public InputMethod {
public:
    bool isAvailable() override { return true; }
    QString frameworkName() override { return QStringLiteral("fake"); }
    bool isOpen() override { return open; }
    void setOpen(bool o) override {
        open = o;
        ++sets;
    }
    bool open = false;
    int sets = 0;
};

struct Folder {
    QTemporaryDir dir;
    Folder() {
        qputenv(kProgramFolderEnv, dir.path().toLocal8Bit());
        resetProgramFolder();
        conf() = Settings();
    }
    ~Folder() {
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
        conf() = Settings();
    }
    QString data() const { return dir.path() + "/data/"; }
    void put(const QString& rel) const {
        QDir().mkpath(QFileInfo(data() + rel).absolutePath());
        QFile f(data() + rel);
        if (f.open(QIODevice::WriteOnly)) f.write("x");
    }
};

void clickLabel(QLabel* label) {
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
}

} // namespace

TEST(CheckFileWindow, ThumbnailCheckListsThumbnailsOfNoStep) {
    Folder f;
    f.put("Thumb/Thumb_a.jpg");
    f.put("Thumb/Thumb_x.jpg");
    AnsweringDialogs dialogs;
    frmCheckFile form({"a"}, f.data(), &dialogs);
    form.show();
    QTest::mouseClick(form.cmdFile[1], Qt::LeftButton);
    ASSERT_EQ(form.lstFileList->count(), 1);
    EXPECT_EQ(form.lstFileList->item(0)->text(), "Thumb_x.jpg");
    EXPECT_EQ(form.txtFolderPath->text(), f.data() + "Thumb/");
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("不要ファイル")});
    EXPECT_TRUE(form.cmdFile[1]->isEnabled());
    EXPECT_FALSE(form.frCnt->isVisible());

    f.put("a.jpg");
    QTest::mouseClick(form.cmdFile[0], Qt::LeftButton);
    EXPECT_EQ(form.lstFileList->count(), 0);
    EXPECT_EQ(dialogs.titles.last(), QStringLiteral("正常"));
}

TEST(CheckFileWindow, DeleteKeyRemovesTheThreeSelectedOfFive) {
    Folder f;
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"})
        f.put(n);
    AnsweringDialogs dialogs;
    frmCheckFile form({}, f.data(), &dialogs);
    form.show();
    QTest::mouseClick(form.cmdFile[0], Qt::LeftButton);
    ASSERT_EQ(form.lstFileList->count(), 5);
    for (int i : {0, 2, 4})
        form.lstFileList->item(i)->setSelected(true);

    dialogs.yes = false; // Cancel
    QTest::keyClick(form.lstFileList, Qt::Key_Delete);
    EXPECT_EQ(form.lstFileList->count(), 5);
    EXPECT_TRUE(dialogs.cancelFirst);

    dialogs.yes = true;
    QTest::keyClick(form.lstFileList, Qt::Key_Delete);
    ASSERT_EQ(form.lstFileList->count(), 2);
    EXPECT_EQ(form.lstFileList->item(0)->text(), "b.jpg");
    EXPECT_EQ(form.lstFileList->item(1)->text(), "d.jpg");
    EXPECT_EQ(QDir(f.data()).entryList(QDir::Files), QStringList({"b.jpg", "d.jpg"}));
    EXPECT_EQ(dialogs.questions.last(),
              QStringLiteral("選択ファイルを削除します。よろしいですか？"));
}

TEST(CheckFileWindow, PopupMenuOnlyWithASelection) {
    Folder f;
    f.put("a.jpg");
    AnsweringDialogs dialogs;
    frmCheckFile form({}, f.data(), &dialogs);
    form.show();
    QTest::mouseClick(form.cmdFile[0], Qt::LeftButton);
    QWidget* viewport = form.lstFileList->viewport();
    const QPoint at = form.lstFileList->visualItemRect(form.lstFileList->item(0)).center();
    form.lstFileList->clearSelection();
    QContextMenuEvent none(QContextMenuEvent::Mouse, QPoint(5, 200),
                           viewport->mapToGlobal(QPoint(5, 200)));
    QApplication::sendEvent(viewport, &none);
    EXPECT_FALSE(form.mnuPopup->isVisible());
    form.lstFileList->item(0)->setSelected(true);
    QContextMenuEvent some(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &some);
    EXPECT_TRUE(form.mnuPopup->isVisible());
    form.mnuPopup->hide();
    form.lstFileList->clearSelection();
    form.mnuSelectAll->trigger();
    EXPECT_EQ(form.lstFileList->selectedItems().size(), 1);
}

namespace {
struct Editor {
    Folder folder;
    AnsweringDialogs dialogs;
    FakeInputMethod ime;
    StepList steps;
    OpListHost opHost;
    StepEditHost host;
    OperationList ops{steps, opHost, dialogs};
    MessageEditMemory memory;
    MessageEditSession session{steps, ops, host, dialogs, memory};
    Editor() {
        steps.append(buildStepLine(1, "s1", QStringLiteral("一") + QChar(4) + QStringLiteral("二"),
                                   "jpg", kCheckMark));
        steps.append(buildStepLine(2, "s2", QStringLiteral("次"), "jpg", QString()));
        steps.setSelectedStep(1);
    }
};
} // namespace

TEST(MessageEditor, OpensWhereAndAsTheSettingsSayAndOkStoresAndRemembers) {
    Editor e;
    conf().editMode = 1;
    conf().editFontsize = 15;
    frmMsgEdit form(e.session, &e.ime);
    form.prepare(QPoint(400, 300), 120);
    EXPECT_EQ(form.size(), QSize(511, 147)); // 7665 x 2205 twips
    EXPECT_EQ(form.pos(), QPoint(120, 320));
    EXPECT_EQ(form.txtMsg->font().pointSize(), 15);
    EXPECT_EQ(form.txtMsg->toPlainText(), QStringLiteral("一\n二"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("編集"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(50);
    EXPECT_TRUE(e.ime.open);
    EXPECT_EQ(form.lblIME->text(), QStringLiteral("日本語"));
    clickLabel(form.lblIME);
    EXPECT_FALSE(e.ime.open);
    EXPECT_EQ(form.lblIME->text(), "English");

    form.txtMsg->selectAll();
    QTest::keyClicks(form.txtMsg, "new");
    form.resize(600, 200);
    QTest::mouseClick(form.cmdClose[0], Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(e.steps.field(1, FieldMessage), "new");
    EXPECT_EQ(e.steps.field(1, FieldCheck), kCheckMark);
    EXPECT_TRUE(e.ops.messageEdited);
    EXPECT_EQ(conf().editWidth, 600 * 15);
    EXPECT_EQ(conf().editHeight, 200 * 15);
    EXPECT_EQ(conf().editMode, 0);
    EXPECT_EQ(conf().editFontsize, 15);
}

TEST(MessageEditor, WalksToTheNextStepAndCancelStoresNothing) {
    Editor e;
    frmMsgEdit form(e.session, nullptr);
    form.prepare(QPoint(400, 300), 0);
    form.show();
    EXPECT_EQ(form.lblIME->text(), "English");
    QTest::keyClicks(form.txtMsg, "X");
    clickLabel(form.lblMv[0]); // the first step: nothing
    EXPECT_TRUE(e.dialogs.questions.isEmpty());
    clickLabel(form.lblMv[1]);
    ASSERT_EQ(e.dialogs.questions.size(), 1);
    EXPECT_EQ(e.steps.field(1, FieldMessage),
              QStringLiteral("一") + QChar(4) + QStringLiteral("二X"));
    EXPECT_EQ(form.txtMsg->toPlainText(), QStringLiteral("次"));
    EXPECT_EQ(e.steps.selectedStep(), 2);
    QTest::keyClicks(form.txtMsg, "Y");
    QTest::mouseClick(form.cmdClose[1], Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(e.steps.field(2, FieldMessage), QStringLiteral("次"));
}
