// The close requests of our own windows, the shell's associations and sound.
#include "platform/win32/win32closerequests.h"
#include "platform/win32/win32handles.h"
#include "platform/win32/win32shell.h"
#include "platform/win32/win32soundplayer.h"
#include "tests/win32/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <windows.h>

namespace klavoro::win32 {
namespace {

TEST(CloseRequestsTest, ACloseOfATopLevelWindowIsSeenBeforeQt) {
    QWidget window;
    auto* child = new QWidget(&window);
    child->setAttribute(Qt::WA_NativeWindow);
    window.setGeometry(100, 100, 200, 150);
    window.show();
    test::pump(200);
    QList<WindowId> seen;
    bool take = true;
    Win32CloseRequests requests([&](WindowId w) {
        seen << w;
        return take;
    });

    PostMessageW(toHwnd(child->winId()), WM_CLOSE, 0, 0);
    test::pump(200);
    EXPECT_TRUE(seen.isEmpty()) << "a child window is not the program's window";

    PostMessageW(toHwnd(window.winId()), WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::pumpUntil([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen.first(), WindowId(window.winId()));
    test::pump(100);
    EXPECT_TRUE(window.isVisible()) << "taken over: Qt never saw it";

    take = false;
    PostMessageW(toHwnd(window.winId()), WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::pumpUntil([&] { return !window.isVisible(); })) << "left to Qt, it closes";
}

// A file type of the test's own, gone again when it ends: what a fresh system
// associates by default differs from one Wine prefix to the next.
class UserFileType {
public:
    UserFileType() {
        set(L".klavoro-trip", L"KlavoroTrip.File");
        set(L"KlavoroTrip.File\\shell\\open\\command",
            L"\"C:\\windows\\system32\\notepad.exe\" \"%1\"");
    }
    ~UserFileType() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".klavoro-trip");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"KlavoroTrip.File");
    }

private:
    static void set(const wchar_t* key, const wchar_t* value) {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value,
                        DWORD((wcslen(value) + 1) * sizeof(wchar_t)));
    }
};

TEST(ShellTest, AFileWithoutAnAssociationHasNoProgram) {
    Win32Shell shell;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(shell.hasProgramFor(dir.path())) << "a folder opens in the file browser";
    {
        UserFileType type;
        EXPECT_TRUE(shell.hasProgramFor(dir.filePath(QStringLiteral("手順.klavoro-trip"))));
    }
    EXPECT_FALSE(shell.hasProgramFor(dir.filePath(QStringLiteral("手順.klavoro-trip"))));
    EXPECT_FALSE(shell.hasProgramFor(dir.filePath(QStringLiteral("a.klavoro-no-such-type"))));
    EXPECT_FALSE(shell.hasProgramFor(dir.filePath(QStringLiteral("no-extension"))));
    EXPECT_FALSE(shell.open(QString()));
}

TEST(SoundTest, AMissingFilePlaysNothingAndIsNoFailure) {
    Win32SoundPlayer sound;
    EXPECT_FALSE(sound.play(QStringLiteral("C:/no/such/sound.wav"), false));
    EXPECT_FALSE(sound.hasFailed()) << "later sounds still play";
}

} // namespace
} // namespace klavoro::win32
