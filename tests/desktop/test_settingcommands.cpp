#include "record/runmode.h"
#include "settings/frmsetting.h"
#include "settings/settingsopener.h"
#include "store/dialogs.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/steplist.h"
#include "tests/desktop/fixtureapp.h"
#include "ui/frmklavoro.h"
#include "ui/settingcommands.h"
#include "tests/desktop/testwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace klavoro;
using klavoro::test::waitUntil;

namespace {

QByteArray opListBytes(int steps) {
    QByteArray file =
        toShiftJis(QStringLiteral("最終行 = \t1\t\r\n")) + QByteArray(28, '-') + "\x03\r\n";
    for (int i = 0; i < steps; ++i) {
        const QByteArray m = toShiftJis(QStringLiteral("[OK](ボタン)を、クリックします。"));
        file += "\t202612060905030" + QByteArray::number(i) + "    \t\t" +
                QByteArray::number(i + 1) + "\t" + m + QByteArray(100 - m.size(), ' ') +
                "\tjpg\t\r\n";
    }
    return file;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

struct NoMessages : Dialogs {
    void message(const QString& text, const QString&) override { messages << text; }
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
    QStringList messages;
};

class SettingCommands : public ::testing::Test {
protected:
    SettingCommands() {
        qputenv(kProgramFolderEnv, home.path().toLocal8Bit());
        resetProgramFolder();
        conf() = Settings();
        QDir(home.path()).mkpath(QStringLiteral("data"));
        QDir(home.path()).mkpath(QStringLiteral("other"));
        writeFile(home.path() + "/data/OpList.txt", opListBytes(3));
        writeFile(home.path() + "/other/OpList.txt", opListBytes(2));
        conf().saveFolderPath = QStringLiteral("data/");
        graph = std::make_unique<test::TestWindow>(test::TestWindow::Options{.dialogs = &messages});
        window = &graph->window();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        window->reloadList();
    }
    ~SettingCommands() override {
        runMode().set(kRunIdle);
        graph.reset();
        window = nullptr;
        conf() = Settings();
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
    }

    // Runs the command; `act` works on the dialog once it has the focus on
    // Cancel, and must close it. A dialog left open is cancelled after a while.
    bool run(const QString& command, std::function<void(frmSetting&)> act) {
        bool acted = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            frmSetting* d = settingsOpener(*window).dialog();
            if (acted || !d || !d->cmdClose[1]->hasFocus()) return;
            acted = true;
            act(*d);
        });
        poll.start();
        QTimer::singleShot(8000, window, [this] { settingsOpener(*window).closeDialog(); });
        const bool ran = window->runCommand(command);
        return ran && acted;
    }

    QTemporaryDir home;
    NoMessages messages;
    std::unique_ptr<test::TestWindow> graph;
    frmKlavoro* window = nullptr;
};

} // namespace

TEST_F(SettingCommands, OkFromTheButtonReloadsTheListAndAppliesTheWindowSettings) {
    ASSERT_EQ(window->steps().count(), 3);
    ASSERT_TRUE(window->cmdSetting->isEnabled());
    ASSERT_TRUE(run(QStringLiteral("cmdSetting"), [&](frmSetting& d) {
        d.chkDispTop->setChecked(true);
        d.cmbTransParent->setCurrentText(QStringLiteral("30"));
        writeFile(home.path() + "/data/OpList.txt", opListBytes(5));
        d.cmdClose_Click(0);
    }));
    EXPECT_EQ(conf().dispTop, 1);
    EXPECT_EQ(conf().transparent, 30);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_NEAR(window->windowOpacity(), 0.7, 0.01);
    EXPECT_EQ(window->steps().count(), 5) << "the list is loaded again";
}

TEST_F(SettingCommands, TheMenuReloadsOnlyWhenTheFolderChanged) {
    ASSERT_TRUE(run(QStringLiteral("mnuSetting"), [&](frmSetting& d) {
        writeFile(home.path() + "/data/OpList.txt", opListBytes(5));
        d.cmdClose_Click(0);
    }));
    EXPECT_EQ(window->steps().count(), 3);

    // The old folder's list would otherwise be saved into the new folder.
    ASSERT_TRUE(run(QStringLiteral("mnuListSetting"), [&](frmSetting& d) {
        d.txtSaveFolderPath->setText(QStringLiteral("other"));
        d.cmdClose_Click(0);
    }));
    EXPECT_EQ(conf().saveFolderPath, "other/");
    EXPECT_EQ(window->steps().count(), 2);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("other")));
}

TEST_F(SettingCommands, CancelReloadsNothingAndASecondOpenShowsTheSameDialog) {
    const Settings before = conf();
    frmSetting* first = nullptr;
    bool secondOpened = true;
    ASSERT_TRUE(run(QStringLiteral("cmdSetting"), [&](frmSetting& d) {
        first = &d;
        secondOpened = settingsOpener(*window).open(SettingsOpener::From::Menu);
        EXPECT_EQ(settingsOpener(*window).dialog(), first);
        d.chkAutoStart->setChecked(true);
        writeFile(home.path() + "/data/OpList.txt", opListBytes(5));
        d.cmdClose_Click(1);
    }));
    EXPECT_FALSE(secondOpened);
    EXPECT_EQ(window->findChildren<frmSetting*>().size(), 0) << "the dialog is gone after closing";
    EXPECT_TRUE(conf() == before);
    EXPECT_EQ(window->steps().count(), 3);
}

TEST_F(SettingCommands, ATargetChangedWhileRecordingAsksForTheHookAgain) {
    QSignalSpy spy(&settingsOpener(*window), &SettingsOpener::targetChangedWhileRecording);
    ASSERT_TRUE(run(QStringLiteral("mnuSetting"), [&](frmSetting& d) {
        d.OptTarget[2]->setChecked(true);
        d.cmdClose_Click(0);
    }));
    EXPECT_EQ(spy.count(), 0) << "not recording";
    ASSERT_TRUE(run(QStringLiteral("mnuSetting"), [&](frmSetting& d) {
        runMode().set(kRunGo); // recording started while the dialog was open
        d.OptTarget[1]->setChecked(true);
        d.cmdClose_Click(0);
    }));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(conf().target, 1);
}

TEST_F(SettingCommands, ClosingTheMainWindowCancelsTheDialog) {
    ASSERT_TRUE(run(QStringLiteral("mnuSetting"), [&](frmSetting& d) {
        d.chkAutoStart->setChecked(true);
        window->close();
    }));
    EXPECT_EQ(conf().autoStart, 0);
}

TEST_F(SettingCommands, TheCharacterListHoldsTheInstalledCharacters) {
    QFile source(QStringLiteral(KLAVORO_SOURCE_DIR "/chars/merlin.kchar"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray json = source.readAll();
    json.replace("\"マーリン\"", "\"ロボ\"");
    QDir(home.path()).mkdir(QStringLiteral("chars"));
    writeFile(home.path() + "/chars/robo.kchar", json);
    conf().animeChar.clear();
    QStringList items;
    ASSERT_TRUE(run(QStringLiteral("mnuSetting"), [&](frmSetting& d) {
        for (int i = 0; i < d.cmbAnimeChar->count(); ++i)
            items << d.cmbAnimeChar->itemText(i);
        d.cmbAnimeChar->setCurrentText(QStringLiteral("ロボ"));
        d.cmdClose_Click(0);
    }));
    EXPECT_EQ(items, (QStringList{QString(), QStringLiteral("ロボ")}));
    EXPECT_EQ(conf().animeChar, QStringLiteral("ロボ"));
}
