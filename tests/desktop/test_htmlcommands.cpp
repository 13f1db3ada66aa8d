#include "ui/frmformat.h"
#include "ui/frmmakehtml.h"
#include "settings/frmsetting.h"
#include "settings/settingsopener.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/steplist.h"
#include "ui/frmklavoro.h"
#include "ui/settingcommands.h"
#include "tests/desktop/testwindow.h"
#include "tests/unit/testutil.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Acts on the first modal window of type T once it shows, and sets `acted`.
template <typename T> void whenShown(std::function<void(T&)> act, QTimer& poll, bool& acted) {
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&acted, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (acted || !dialog || !dialog->isVisible()) return;
        acted = true;
        act(*dialog);
    });
    poll.start();
}

class HtmlCommands : public ::testing::Test {
protected:
    HtmlCommands() {
        qputenv(kProgramFolderEnv, home.path().toLocal8Bit());
        resetProgramFolder();
        conf() = Settings();
        QDir(home.path()).mkpath(QStringLiteral("data"));
        QDir(home.path()).mkpath(QStringLiteral("parts/js"));
        writeFile(home.path() + "/parts/js/html-js.js", "// page script\n");
        QByteArray list =
            toShiftJis(QStringLiteral("最終行 = \t1\t\r\n")) + QByteArray(28, '-') + "\x03\r\n";
        const QByteArray m = toShiftJis(QStringLiteral("[OK](ボタン)を、クリックします。"));
        list +=
            "\t2026120609050300    \t\t1\t" + m + QByteArray(100 - m.size(), ' ') + "\tjpg\t\r\n";
        writeFile(home.path() + "/data/OpList.txt", list);
        graph = std::make_unique<test::TestWindow>(test::TestWindow::Options{.dialogs = &messages});
        window = &graph->window();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        window->reloadList();
    }
    ~HtmlCommands() override {
        graph.reset();
        window = nullptr;
        conf() = Settings();
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
    }
    QTemporaryDir home;
    test::FakeDialogs messages;
    std::unique_ptr<test::TestWindow> graph;
    frmKlavoro* window = nullptr;
};

} // namespace

TEST_F(HtmlCommands, BothMenusWriteTheManualIntoTheCaptureFolder) {
    for (const char* command : {"mnuMakeHtml", "mnuListMakeHtml"}) {
        QFile::remove(home.path() + "/data/index.htm");
        QTimer poll;
        bool acted = false;
        whenShown<frmMakeHtml>([](frmMakeHtml& d) { d.cmdClose[0]->click(); }, poll, acted);
        QTimer::singleShot(5000, [] {
            if (auto* d = QApplication::activeModalWidget()) d->close();
        });
        ASSERT_TRUE(window->runCommand(QString::fromLatin1(command))) << command;
        EXPECT_TRUE(acted) << command;
        const QString page = fromShiftJis([&] {
            QFile f(home.path() + "/data/index.htm");
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }());
        EXPECT_TRUE(page.contains(QStringLiteral("[OK](ボタン)を、クリックします。"))) << command;
        EXPECT_TRUE(QFile::exists(home.path() + "/data/js/html-js.js")) << command;
        // No desktop program opens the page here: the user is told where it is.
        ASSERT_FALSE(messages.messages.isEmpty()) << command;
        EXPECT_TRUE(messages.messages.last().contains(
            QDir::toNativeSeparators(home.path() + "/data/index.htm")))
            << command;
    }
}

TEST_F(HtmlCommands, TheFormatDialogOpensFromTheMenuAndFromTheSettingsDialog) {
    QTimer poll;
    bool acted = false;
    whenShown<frmFormat>(
        [](frmFormat& d) {
            d.txtPhrase7->setText(QStringLiteral("する。"));
            d.cmdOk->click();
        },
        poll, acted);
    ASSERT_TRUE(window->runCommand(QStringLiteral("mnuFormatSetting")));
    EXPECT_TRUE(acted);
    EXPECT_EQ(conf().phrase7, QStringLiteral("する。"));

    // The settings dialog's button opens it over the settings dialog.
    bool formatShown = false;
    QTimer settingsPoll;
    settingsPoll.setInterval(20);
    QObject::connect(&settingsPoll, &QTimer::timeout, [&] {
        frmSetting* s = settingsOpener(*window).dialog();
        if (!s || !s->isVisible() || formatShown) return;
        formatShown = true;
        EXPECT_TRUE(s->cmdShowFormat->isEnabled());
        QTimer::singleShot(0, [] {
            auto* f = qobject_cast<frmFormat*>(QApplication::activeModalWidget());
            ASSERT_NE(f, nullptr);
            f->cmdCancel->click();
        });
        s->cmdShowFormat->click();
        s->cmdClose_Click(1);
    });
    settingsPoll.start();
    QTimer::singleShot(8000, window, [this] { settingsOpener(*window).closeDialog(); });
    ASSERT_TRUE(window->runCommand(QStringLiteral("mnuSetting")));
    EXPECT_TRUE(formatShown);
}
