#include "settings/frmmycombobox.h"
#include "settings/frmsetting.h"
#include "settings/settingpickers.h"
#include "store/conffile.h"
#include "store/dialogs.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/windowplacement.h"
#include "tests/desktop/fixtureapp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace klavoro;
using klavoro::test::waitUntil;

namespace {

struct RecordedDialogs : Dialogs {
    void message(const QString& text, const QString& title) override {
        messages << text;
        titles << title;
    }
    bool askYesNo(const QString&, const QString&, bool) override { return true; }
    QStringList messages, titles;
};

struct ScriptedPickers : SettingPickers {
    QString chooseProgram(QWidget*, const QString&) override { return program; }
    QString chooseCursor(QWidget*, const QString&) override { return cursor; }
    QColor chooseColour(QWidget*, const QColor&) override { return colour; }
    QString chooseFolder(QWidget*, const QString&, const QString& start) override {
        folderStart = start;
        return folder;
    }
    QString program, cursor, folder, folderStart;
    QColor colour;
};

struct StillWindow : MainWindowPlacement {
    QSize screenSize() const override { return {1920, 1080}; }
    WindowRect normalRect() const override { return {100, 100, 700, 500}; }
    void placeMainWindow(const WindowRect&, qint32) override {}
};

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// On the box itself: the middle of a wide row may be beside its text.
void click(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

QRgb pixelOf(QWidget* w) {
    return w->grab().toImage().pixel(4, w->height() / 2);
}

class SettingsDialog : public ::testing::Test {
protected:
    SettingsDialog() {
        qputenv(kProgramFolderEnv, home.path().toLocal8Bit());
        resetProgramFolder();
        QDir(home.path()).mkdir(QStringLiteral("data"));
        settings.saveFolderPath = QStringLiteral("data/");
    }
    ~SettingsDialog() override {
        dialog.reset();
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
    }

    // Shown and active, with the focus already moved to Cancel.
    frmSetting& open() {
        SettingHooks hooks;
        hooks.recordedSteps = [this] { return recordedSteps; };
        hooks.showFormat = showFormat;
        hooks.showCheckFile = showCheckFile;
        dialog = std::make_unique<frmSetting>(settings, hooks, realDialogs ? nullptr : &dialogs,
                                              &pickers);
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        EXPECT_TRUE(waitUntil([&] { return dialog->cmdClose[1]->hasFocus(); }));
        return *dialog;
    }
    // Moves the focus from `from` to `to` and lets the leave check run.
    void leave(QWidget* from, QWidget* to) {
        from->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(waitUntil([&] { return from->hasFocus(); }));
        to->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void type(QWidget* box, const QString& text) {
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }

    QTemporaryDir home;
    Settings settings;
    RecordedDialogs dialogs;
    ScriptedPickers pickers;
    int recordedSteps = 0;
    bool realDialogs = false;
    std::function<void(QWidget*)> showFormat, showCheckFile;
    std::unique_ptr<frmSetting> dialog;
};

} // namespace

TEST_F(SettingsDialog, OpensOnTheRememberedPageWithTheFocusOnCancel) {
    settings.settingIndex = PageSave;
    frmSetting& d = open();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("設定"));
    EXPECT_EQ(d.frPages->currentWidget(), d.frPage[PageSave]);
    EXPECT_TRUE(d.txtMaxCnt->isVisible());
    EXPECT_FALSE(d.txtEdit->isVisible());
    EXPECT_EQ(d.txtMaxCnt->text(), "15,000");
    for (int i = 0; i < SettingsPageCount; ++i)
        EXPECT_EQ(pixelOf(d.cmdPage[size_t(i)]),
                  i == PageSave ? qRgb(0xC0, 0xFF, 0xFF) : qRgb(0xE0, 0xE0, 0xE0))
            << "page button " << i;

    QTest::mouseClick(d.cmdPage[PageCapture], Qt::LeftButton);
    EXPECT_TRUE(d.txtEdit->isVisible());
    EXPECT_FALSE(d.txtMaxCnt->isVisible());
    EXPECT_EQ(pixelOf(d.cmdPage[PageCapture]), qRgb(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(pixelOf(d.cmdPage[PageSave]), qRgb(0xE0, 0xE0, 0xE0));
    d.cmdClose_Click(0);
    EXPECT_EQ(settings.settingIndex, PageCapture) << "the page shown at Ok is remembered";
}

TEST_F(SettingsDialog, MaxCountIsFilteredCappedAndKeptAboveTheRecordedSteps) {
    settings.settingIndex = PageSave;
    recordedSteps = 20;
    frmSetting& d = open();
    type(d.txtMaxCnt, QStringLiteral("16a,0-00"));
    EXPECT_EQ(d.txtMaxCnt->text(), "16000") << "only digits are typed";
    leave(d.txtMaxCnt, d.txtSaveFolderPath);
    EXPECT_EQ(d.txtMaxCnt->text(), "15000");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("最大枚数は15000です"));

    type(d.txtMaxCnt, QStringLiteral("10"));
    leave(d.txtMaxCnt, d.txtSaveFolderPath);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(
        dialogs.messages[1].startsWith(QStringLiteral("取得済みのデータが既に超えています。")));
    EXPECT_TRUE(waitUntil([&] { return d.txtMaxCnt->hasFocus(); })) << "the focus goes back";

    // Ok checks the box being left too, and stays open.
    d.cmdClose_Click(0);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(settings.maxCnt, 15000);
    type(d.txtMaxCnt, QStringLiteral("300"));
    d.cmdClose_Click(0);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(settings.maxCnt, 300);
}

// The window's own message boxes, answered as a user would: Ok is pressed
// while the box being left holds a refused count.
TEST_F(SettingsDialog, MessageBoxesOfTheDialogItselfKeepItOpenOnARefusedValue) {
    settings.settingIndex = PageSave;
    recordedSteps = 20;
    realDialogs = true;
    frmSetting& d = open();
    QStringList shown;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->accept();
        }
    });
    closer.start();

    type(d.txtMaxCnt, QStringLiteral("10"));
    QTest::mouseClick(d.cmdClose[0], Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return shown.size() == 1; }));
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("取得済みのデータが既に超えています。")));
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(waitUntil([&] { return d.txtMaxCnt->hasFocus(); }));
    klavoro::test::pause(100);
    EXPECT_EQ(shown.size(), 1) << "one message for one refusal";

    type(d.txtMaxCnt, QStringLiteral("16000"));
    QTest::mouseClick(d.cmdClose[0], Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !d.isVisible(); }));
    EXPECT_EQ(shown.size(), 2);
    EXPECT_TRUE(d.accepted());
    EXPECT_EQ(settings.maxCnt, 15000);
}

TEST_F(SettingsDialog, EmptyJpgQualityAndSizeLimitsAreRefusedOnLeaving) {
    settings.settingIndex = PageSave;
    frmSetting& d = open();
    EXPECT_TRUE(d.frJpgQuality->isVisible()) << "jpg is the default format";
    type(d.cmbSaveJpgQuality, QString());
    leave(d.cmbSaveJpgQuality, d.txtSaveFolderPath);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("JPG品質が空白です"));
    EXPECT_TRUE(waitUntil([&] { return d.cmbSaveJpgQuality->hasFocus(); }));
    d.cmbSaveFileFormat->setCurrentIndex(2);
    EXPECT_FALSE(d.frJpgQuality->isVisible()) << "quality belongs to jpg only";

    type(d.txtThumbnail[0], QStringLiteral("0"));
    leave(d.txtThumbnail[0], d.txtSaveFolderPath);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1], QStringLiteral("０より大きい値を入力して下さい！"));
    EXPECT_EQ(d.txtThumbnail[0]->text(), "240") << "the value it had when entered comes back";
}

TEST_F(SettingsDialog, EqualHotKeysAreRefusedEmptyOnesAreNot) {
    settings.settingIndex = PageKeys;
    settings.hotkey1.clear();
    settings.hotkey2.clear();
    frmSetting& d = open();
    leave(d.cmbHotKey[1], d.chkMCapMouse);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    type(d.cmbHotKey[1], QStringLiteral("z"));
    EXPECT_EQ(d.cmbHotKey[1]->currentText(), "Z");
    leave(d.cmbHotKey[1], d.chkMCapMouse);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("重複"));
}

TEST_F(SettingsDialog, ProgramFolderAsSaveFolderStoresEmpty) {
    settings.settingIndex = PageSave;
    frmSetting& d = open();
    pickers.folder = home.path();
    QTest::mouseClick(d.cmdSaveFolder, Qt::LeftButton);
    EXPECT_EQ(pickers.folderStart, home.path() + "/data/");
    EXPECT_EQ(d.txtSaveFolderPath->text(), "");
    d.cmdClose_Click(0);
    EXPECT_TRUE(d.accepted());
    EXPECT_EQ(settings.saveFolderPath, "");
}

TEST_F(SettingsDialog, MissingFolderKeepsTheDialogOpen) {
    const Settings before = settings;
    frmSetting& d = open();
    click(d.chkState[0]);
    d.txtSaveFolderPath->setText(QStringLiteral("missing"));
    d.cmdClose_Click(0);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.accepted());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              QStringLiteral("「 missing 」は有効なフォルダパスではありません！"));
    EXPECT_EQ(d.frPages->currentWidget(), d.frPage[PageSave]) << "the folder box is shown";
    EXPECT_TRUE(waitUntil([&] { return d.txtSaveFolderPath->hasFocus(); }));
    EXPECT_TRUE(settings == before);
}

TEST_F(SettingsDialog, MinimiseAndTrayExcludeEachOther) {
    settings.tasktray = 1;
    frmSetting& d = open();
    click(d.chkState[0]);
    EXPECT_TRUE(d.chkState[0]->isChecked());
    EXPECT_FALSE(d.chkState[1]->isChecked());
    click(d.chkState[1]);
    EXPECT_FALSE(d.chkState[0]->isChecked());
    EXPECT_TRUE(d.chkState[1]->isChecked());
}

TEST_F(SettingsDialog, OkWithoutChangesLeavesSettingsAndFileAsTheyWere) {
    // A file with values the controls cannot show exactly.
    QFile f(home.path() + "/Conf.txt");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("exe name = klavoro\r\nsave file format = 7\r\nkey record = 2\r\ntarget = 3\r\n"
            "text mag = 133%\r\nplay span = 0.25\r\nhotkey2 = F1\r\nrect left = -155\r\n"
            "transparent = 33\r\nplay speak = \r\nsave folder path = data\r\n");
    f.close();
    StillWindow window;
    ConfFile file(window, nullptr, QStringLiteral("klavoro"));
    file.load(settings);
    ASSERT_EQ(file.save(settings), 0);
    const QByteArray bytes = fileBytes(file.path());
    const Settings before = settings;

    frmSetting& d = open();
    d.cmdClose_Click(0);
    EXPECT_TRUE(d.accepted());
    EXPECT_TRUE(settings == before);
    ASSERT_EQ(file.save(settings), 0);
    EXPECT_EQ(fileBytes(file.path()), bytes);
}

TEST_F(SettingsDialog, CancelAfterEditingLeavesEverySetting) {
    const Settings before = settings;
    frmSetting& d = open();
    for (QCheckBox* box : d.findChildren<QCheckBox*>())
        box->setChecked(!box->isChecked());
    for (QComboBox* box : d.findChildren<QComboBox*>())
        box->setCurrentIndex((box->currentIndex() + 1) % qMax(1, box->count()));
    for (QLineEdit* box : {d.txtEdit, d.txtMaxCnt, d.txtSaveFolderPath, d.txtSpeakStartMsg,
                           d.txtMaxSize[0], d.txtThumbnail[1]})
        box->setText(QStringLiteral("1"));
    d.OptTarget[4]->setChecked(true);
    d.cmdPage_Click(PageKeys);
    QTest::mouseClick(d.cmdClose[1], Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.accepted());
    EXPECT_TRUE(settings == before);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "Cancel checks nothing";
}

TEST_F(SettingsDialog, DependentControlsFollowTheirSwitches) {
    settings.settingIndex = PageCapture;
    settings.noRectFile = 1;
    frmSetting& d = open();
    EXPECT_TRUE(d.cmbRect[0]->isVisible()) << "the area target shows the area";
    EXPECT_FALSE(d.txtMaxSize[0]->isVisible());
    d.OptTarget[2]->setChecked(true);
    EXPECT_TRUE(d.lblDesktop->isVisible());
    EXPECT_EQ(d.lblDesktop->text(), QStringLiteral("画面転換が少し遅くなります。"));
    EXPECT_TRUE(d.txtMaxSize[0]->isVisible());
    d.chkPlainScale->setChecked(true);
    EXPECT_FALSE(d.txtMaxSize[0]->isVisible()) << "actual size has no maximum";
    d.OptTarget[1]->setChecked(true);
    EXPECT_TRUE(d.txtMaxSize[0]->isVisible());
    EXPECT_FALSE(d.cmbRect[0]->isVisible());

    click(d.chkRectPoint);
    EXPECT_FALSE(d.frRectPoint->isVisible());
    EXPECT_FALSE(d.ChkRectPointNoneTogether->isChecked());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    click(d.chkRectPoint);
    click(d.ChkRectPointNoneTogether);
    ASSERT_EQ(dialogs.messages.size(), 1) << "a tick by the user explains itself";
    EXPECT_EQ(dialogs.messages[0], d.ChkRectPointNoneTogether->toolTip());

    EXPECT_TRUE(d.frMouseFile->isVisible());
    EXPECT_EQ(d.lblMouse->text(), "arrow_m.cur");
    d.OptMouse[0]->setChecked(true);
    EXPECT_FALSE(d.frMouseFile->isVisible());
    click(d.chkMouse);
    EXPECT_FALSE(d.frMouse->isVisible());

    EXPECT_FALSE(d.cmbDelay[0]->isVisible());
    QTest::mouseClick(d.lblSecret, Qt::LeftButton);
    EXPECT_TRUE(d.cmbDelay[0]->isVisible());
    EXPECT_TRUE(d.chkReduce->isVisible());
    QTest::mouseClick(d.lblSecret, Qt::LeftButton);
    EXPECT_FALSE(d.cmbDelay[0]->isVisible());

    d.txtEdit->setText(QStringLiteral("/bin/sh"));
    EXPECT_EQ(d.txtEdit->palette().color(QPalette::Text), QColor(Qt::black));
    d.txtEdit->setText(QStringLiteral("no-such-editor"));
    EXPECT_EQ(d.txtEdit->palette().color(QPalette::Text), QColor(Qt::red));

    d.cmdPage_Click(PageKeys);
    EXPECT_TRUE(d.chkKeyCapture->isVisible());
    click(d.chkKeyRec);
    EXPECT_FALSE(d.chkKeyRecChar->isVisible());
    EXPECT_FALSE(d.chkKeyCapture->isVisible());
}

TEST_F(SettingsDialog, DropButtonOffersTheCandidates) {
    settings.settingIndex = PageSave;
    frmSetting& d = open();
    QTest::mouseClick(d.cmdDropButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return d.dropList->isVisible(); }));
    ASSERT_EQ(d.dropList->lstItems->count(), 22);
    EXPECT_EQ(d.dropList->lstItems->item(0)->text(), "5");
    EXPECT_EQ(d.dropList->lstItems->currentItem()->text(), "15,000") << "the current count";
    QListWidgetItem* item = d.dropList->lstItems->item(13);
    QTest::mouseClick(d.dropList->lstItems->viewport(), Qt::LeftButton, {},
                      d.dropList->lstItems->visualItemRect(item).center());
    EXPECT_FALSE(d.dropList->isVisible());
    EXPECT_EQ(d.txtMaxCnt->text(), "1,000");

    // A second press on the button closes the list instead of opening it again.
    QTest::mouseClick(d.cmdDropButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return d.dropList->isVisible(); }));
    QTest::mouseClick(d.cmdDropButton, Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return !d.dropList->isVisible(); }));
    klavoro::test::pause(100);
    EXPECT_FALSE(d.dropList->isVisible());

    d.cmdClose_Click(0);
    EXPECT_EQ(settings.maxCnt, 1000);
}

TEST_F(SettingsDialog, FormatAndFileCheckButtonsNeedTheirWindows) {
    {
        frmSetting& d = open();
        EXPECT_FALSE(d.cmdShowFormat->isEnabled());
        EXPECT_FALSE(d.cmdFileCheck->isEnabled());
        d.reject();
    }
    int formats = 0;
    bool checkEnabledDuring = true;
    showFormat = [&](QWidget* owner) {
        EXPECT_EQ(owner, dialog.get());
        ++formats;
    };
    showCheckFile = [&](QWidget*) { checkEnabledDuring = dialog->cmdFileCheck->isEnabled(); };
    settings.settingIndex = PagePlay;
    frmSetting& d = open();
    QTest::mouseClick(d.cmdShowFormat, Qt::LeftButton);
    EXPECT_EQ(formats, 1);
    d.cmdPage_Click(PageOther);
    QTest::mouseClick(d.cmdFileCheck, Qt::LeftButton);
    EXPECT_FALSE(checkEnabledDuring) << "disabled while the check runs";
    EXPECT_TRUE(d.cmdFileCheck->isEnabled());
}

TEST_F(SettingsDialog, ChosenProgramCursorAndColourFillTheirControls) {
    settings.settingIndex = PageCapture;
    QDir(home.path()).mkdir(QStringLiteral("cursors"));
    QDir(home.path()).mkdir(QStringLiteral("tools"));
    QFile::copy(QStringLiteral(KLAVORO_SOURCE_DIR "/cursors/arrow_m.cur"),
                home.path() + "/cursors/mine.cur");
    QFile::copy(QStringLiteral(KLAVORO_SOURCE_DIR "/cursors/arrow_m.cur"),
                home.path() + "/elsewhere.cur");
    frmSetting& d = open();

    pickers.program = home.path() + "/tools/paint";
    QTest::mouseClick(d.cmdEdit, Qt::LeftButton);
    EXPECT_EQ(d.txtEdit->text(), "tools/paint") << "relative inside the program folder";
    EXPECT_EQ(d.txtEdit->palette().color(QPalette::Text), QColor(Qt::red)) << "no such program yet";

    pickers.cursor = home.path() + "/elsewhere.cur";
    QTest::mouseClick(d.cmdMouse, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1) << "captures look for cursors in cursors/ only";
    EXPECT_EQ(d.lblMouse->text(), "arrow_m.cur");
    pickers.cursor = home.path() + "/cursors/mine.cur";
    QTest::mouseClick(d.cmdMouse, Qt::LeftButton);
    EXPECT_EQ(d.lblMouse->text(), "mine.cur");
    ASSERT_FALSE(d.picMouse->pixmap().isNull()) << "the cursor is drawn";

    pickers.colour = QColor(0x10, 0x20, 0x30);
    QTest::mouseClick(d.cmdRectPointColor, Qt::LeftButton);
    EXPECT_EQ(pixelOf(d.cmdRectPointColor), qRgb(0x10, 0x20, 0x30));
    d.cmdClose_Click(0);
    EXPECT_EQ(settings.rectPointColor, 0x302010) << "blue, green, red";
    EXPECT_EQ(settings.mouseFile, "mine.cur");
    EXPECT_EQ(settings.editorPath, "tools/paint");
}
