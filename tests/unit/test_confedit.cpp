#include "conftestdir.h"
#include "fakemainwindow.h"
#include "platform/fake/fakedesktop.h"
#include "platform/shell.h"
#include "store/confedit.h"
#include "store/editwait.h"
#include "store/sjis.h"

#include <functional>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

// An editor that is "open" from the shell's open call until the test's edit ran.
struct FakeEditor : FakeDesktop, Shell {
    bool open(const QString& path) override {
        openedPath = path;
        running = true;
        if (edit) edit(path);
        return true;
    }
    bool showFolder(const QString&) override { return true; }
    QList<WindowId> findTopLevelWindows(const QString& titlePart) override {
        return (running || alreadyOpen) && titlePart == QLatin1String("Conf") ? QList<WindowId>{7}
                                                                              : QList<WindowId>{};
    }
    bool windowExists(WindowId) override {
        const bool wasRunning = running;
        running = false; // closes after one look
        return wasRunning;
    }
    void setForegroundWindow(WindowId) override {}
    void setTopMost(WindowId, bool) override {}

    std::function<void(const QString&)> edit;
    QString openedPath;
    bool running = false;
    bool alreadyOpen = false;
};

class ConfEdit : public ProgramFolderTest {
protected:
    FakeMainWindow window;
    FakeEditor editor;
    test::FakeDialogs dialogs;
    QStringList calls;
    ConfEditHooks hooks{[this] { calls << "minimize"; }, [this] { calls << "restore"; },
                        [this] { calls << "reapply"; }};

    ConfLoadReport run(ConfFile& file, Settings& s) {
        return mnuConfOpen(file, s, editor, editor, dialogs, EditWaitHooks{}, hooks);
    }
};

void appendLine(const QString& path, const QString& line) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(toShiftJis(line + QStringLiteral("\r\n")));
}

} // namespace

TEST_F(ConfEdit, SavesOpensReloadsAndReapplies) {
    ConfFile file(window, &dialogs, QStringLiteral("klavoro"));
    Settings s;
    s.playSpeak = QStringLiteral("in memory");
    QByteArray seenByEditor;
    editor.edit = [&](const QString& path) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) seenByEditor = f.readAll();
        f.close();
        appendLine(path, QStringLiteral("reduce = 1"));
    };
    const ConfLoadReport r = run(file, s);
    EXPECT_EQ(editor.openedPath, file.path());
    EXPECT_TRUE(seenByEditor.contains("play speak = in memory\r\n"));
    EXPECT_EQ(s.reduce, 1);
    EXPECT_EQ(s.playSpeak, QStringLiteral("in memory"));
    EXPECT_EQ(calls, (QStringList{"minimize", "restore", "reapply"}));
    EXPECT_TRUE(r.errors.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ConfEdit, BadLinesAfterTheEditAreShownAndTheRestApplies) {
    ConfFile file(window, &dialogs, QStringLiteral("klavoro"));
    Settings s;
    editor.edit = [&](const QString& path) {
        appendLine(path, QStringLiteral("setting index = 99999"));
        appendLine(path, QStringLiteral("reduce = 1"));
    };
    const ConfLoadReport r = run(file, s);
    EXPECT_EQ(r.errors.size(), 1);
    EXPECT_EQ(s.reduce, 1);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("設定値読込エラー")});
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("setting index = 99999")));
}

TEST_F(ConfEdit, AnEditorAlreadyOpenIsReportedAndTheFileStillReloads) {
    ConfFile file(window, &dialogs, QStringLiteral("klavoro"));
    Settings s;
    editor.alreadyOpen = true;
    run(file, s);
    EXPECT_TRUE(editor.openedPath.isEmpty());
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("編集不可")});
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Conf が既に開かれています。")));
    EXPECT_EQ(calls, (QStringList{"minimize", "restore", "reapply"}));
}
