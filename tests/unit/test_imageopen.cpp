#include "platform/shell.h"
#include "store/imageopen.h"
#include "testutil.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {
struct RecordingShell : Shell {
    bool open(const QString& p) override {
        opened << p;
        return answer;
    }
    bool showFolder(const QString&) override { return false; }
    QStringList opened;
    bool answer = true;
};

struct Starts {
    QStringList programs;
    QList<QStringList> arguments;
    bool answer = true;
    ProgramStarter starter() {
        return [this](const QString& p, const QStringList& a) {
            programs << p;
            arguments << a;
            return answer;
        };
    }
};
} // namespace

TEST(ImageOpen, EditorOrDesktopDefault) {
    ScratchHome home;
    const QString image = home.path("data/20261206090503 04.jpg");
    QDir().mkpath(home.path("data"));
    writeBytes(image, "x");
    RecordingShell shell;
    Starts starts;

    EXPECT_TRUE(openImageInEditor(image, QString(), shell, starts.starter()));
    EXPECT_EQ(shell.opened, QStringList{image});
    EXPECT_TRUE(starts.programs.isEmpty());

    EXPECT_TRUE(openImageInEditor(image, QStringLiteral("\"gimp\""), shell, starts.starter()));
    EXPECT_EQ(starts.programs, QStringList{"gimp"});
    EXPECT_EQ(starts.arguments.first(), QStringList{image}); // one argument, blanks and all

    EXPECT_TRUE(openImageInEditor(image, QStringLiteral("tools/paint"), shell, starts.starter()));
    EXPECT_EQ(starts.programs.last(), home.path("tools/paint"));
    EXPECT_EQ(shell.opened.size(), 1);
}

TEST(ImageOpen, FailuresAreLoggedAndStartNothing) {
    ScratchHome home;
    RecordingShell shell;
    Starts starts;
    EXPECT_FALSE(openImageInEditor(home.path("data/none.jpg"), QStringLiteral("gimp"), shell,
                                   starts.starter()));
    EXPECT_FALSE(openImageInEditor(QString(), QString(), shell, starts.starter()));
    EXPECT_TRUE(starts.programs.isEmpty());
    EXPECT_TRUE(shell.opened.isEmpty());

    const QString image = home.path("a.png");
    writeBytes(image, "x");
    starts.answer = false;
    EXPECT_FALSE(
        openImageInEditor(image, QStringLiteral("/no/such/editor"), shell, starts.starter()));
    shell.answer = false;
    EXPECT_FALSE(openImageInEditor(image, QString(), shell, starts.starter()));
    const QString log = QString::fromLocal8Bit(readBytes(home.path("log.txt")));
    EXPECT_TRUE(log.contains(QStringLiteral("/no/such/editor")));
    EXPECT_TRUE(log.contains(QStringLiteral("none.jpg")));
}
