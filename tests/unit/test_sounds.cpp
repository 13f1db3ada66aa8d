#include "platform/fake/fakesoundplayer.h"
#include "platform/x11/processsoundplayer.h"
#include "record/sounds.h"
#include "store/sjis.h"
#include "testutil.h"

#include "store/events.h"
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace klavoro;
using klavoro::test::readBytes;
using klavoro::test::writeBytes;

namespace {

class SoundTest : public ::testing::Test {
protected:
    SoundTest() {
        QDir().mkpath(themes.path() + "/a/freedesktop/stereo");
        QDir().mkpath(themes.path() + "/b/freedesktop/stereo");
        roots = {themes.path() + "/a", themes.path() + "/b"};
    }
    QString log() const { return fromShiftJis(readBytes(home.path("log.txt"))); }
    klavoro::test::ScratchHome home;
    QTemporaryDir themes;
    QStringList roots;
};

// A player that is a shell script: it notes its start, waits, and notes its end.
x11::ProcessSoundPlayer::Chooser scriptChooser(const QString& marks, const QString& body) {
    return [=](const QString& file) {
        return x11::SoundCommand{QStringLiteral("/bin/sh"),
                                 {QStringLiteral("-c"), body, QStringLiteral("sh"), marks, file}};
    };
}

} // namespace

TEST_F(SoundTest, OwnMediaFolderFirstThenTheSoundTheme) {
    const QString stereoB = themes.path() + "/b/freedesktop/stereo/";
    writeBytes(stereoB + "complete.oga", "x");
    // Nothing of our own: the theme's event for the default chime.
    EXPECT_EQ(findSoundFile("chimes.wav", roots), stereoB + "complete.oga");
    // The theme's own file of the same stem wins over the mapped event.
    writeBytes(stereoB + "chimes.wav", "x");
    EXPECT_EQ(findSoundFile("chimes.wav", roots), stereoB + "chimes.wav");
    // An earlier theme root wins over a later one.
    writeBytes(themes.path() + "/a/chimes.wav", "x");
    EXPECT_EQ(findSoundFile("chimes.wav", roots), themes.path() + "/a/chimes.wav");
    // The media folder beside the program wins over every theme.
    QDir().mkpath(home.path("media"));
    writeBytes(home.path("media/chimes.wav"), "x");
    EXPECT_EQ(findSoundFile("chimes.wav", roots), home.path("media/chimes.wav"));
    // An absolute path is used as it is, and only if it exists.
    EXPECT_EQ(findSoundFile(stereoB + "complete.oga", roots), stereoB + "complete.oga");
    EXPECT_EQ(findSoundFile(stereoB + "none.wav", roots), QString());
    EXPECT_EQ(findSoundFile("unknown.wav", roots), QString());
    EXPECT_EQ(findSoundFile("  ", roots), QString());
}

TEST_F(SoundTest, TheProgramShipsBothDefaultSounds) {
    for (const QString& name : {conf().chime, conf().soundStart}) {
        const QString path = QStringLiteral(KLAVORO_SOURCE_DIR "/media/") + name;
        const QByteArray head = readBytes(path).left(12);
        EXPECT_TRUE(head.startsWith("RIFF") && head.endsWith("WAVE")) << path.toStdString();
    }
}

TEST_F(SoundTest, StepSoundsPlayOnlyWhenSwitchedOnAndReportAMissingFileOnce) {
    FakeSoundPlayer player;
    StepSounds sounds(&player, roots);
    QDir().mkpath(home.path("media"));
    writeBytes(home.path("media/chimes.wav"), "x");

    conf().captureSound = 0;
    EXPECT_FALSE(sounds.play("chimes.wav", false));
    EXPECT_TRUE(player.played.isEmpty());
    EXPECT_TRUE(sounds.play("chimes.wav", true)); // the start option "sound"
    conf().captureSound = 1;
    EXPECT_TRUE(sounds.play("chimes.wav", false, true));
    EXPECT_EQ(player.played, QStringList(2, home.path("media/chimes.wav")));
    EXPECT_EQ(player.waited, (QList<bool>{false, true}));

    EXPECT_FALSE(sounds.play("gone.wav", false));
    EXPECT_FALSE(sounds.play("gone.wav", false));
    EXPECT_EQ(log().count(QStringLiteral("gone.wav")), 1);
    EXPECT_EQ(player.played.size(), 2);

    StepSounds silent(nullptr, roots); // no sound service at all
    EXPECT_FALSE(silent.play("chimes.wav", true));
}

TEST(SoundCommand, ServerThenDeviceAndNothingWithoutEither) {
    x11::AudioEnvironment env;
    env.programs = {"paplay", "aplay"};
    EXPECT_FALSE(x11::chooseSoundCommand("/m/a.wav", env).has_value());
    env.alsaDevice = true;
    EXPECT_EQ(x11::chooseSoundCommand("/m/a.wav", env)->program, QStringLiteral("aplay"));
    EXPECT_FALSE(x11::chooseSoundCommand("/t/complete.oga", env).has_value()); // aplay: WAV only
    env.pulseServer = true;
    EXPECT_EQ(x11::chooseSoundCommand("/t/complete.oga", env)->program, QStringLiteral("paplay"));
    env.programs = {"aplay"};
    EXPECT_EQ(x11::chooseSoundCommand("/m/a.wav", env)->program, QStringLiteral("aplay"));
    env.programs.clear();
    EXPECT_FALSE(x11::chooseSoundCommand("/m/a.wav", env).has_value());
}

TEST_F(SoundTest, PlayerRunsInTheBackgroundUnlessAskedToWait) {
    const QString marks = home.path("marks");
    const QString wav = home.path("a.wav");
    writeBytes(wav, "x");
    x11::ProcessSoundPlayer player(scriptChooser(
        marks, QStringLiteral("echo \"start $2\" >> \"$1\"; sleep 0.5; echo end >> \"$1\"")));
    EXPECT_TRUE(player.play(wav, false));
    EXPECT_EQ(player.runningCount(), 1); // returned while the sound plays
    EXPECT_FALSE(readBytes(marks).contains("end"));
    for (int i = 0; i < 200 && player.runningCount() > 0; ++i)
        waitMs(10);
    EXPECT_EQ(player.runningCount(), 0);
    EXPECT_EQ(readBytes(marks), "start " + wav.toLocal8Bit() + "\nend\n");

    QFile::remove(marks);
    EXPECT_TRUE(player.play(wav, true));
    EXPECT_EQ(readBytes(marks), "start " + wav.toLocal8Bit() + "\nend\n"); // played to its end
    EXPECT_FALSE(player.hasFailed());

    // A burst never piles up players.
    for (int i = 0; i < x11::ProcessSoundPlayer::kMaxRunning; ++i)
        EXPECT_TRUE(player.play(wav, false));
    EXPECT_FALSE(player.play(wav, false));
    EXPECT_EQ(player.runningCount(), x11::ProcessSoundPlayer::kMaxRunning);
    EXPECT_FALSE(player.play(home.path("missing.wav"), false));
}

TEST_F(SoundTest, NoDeviceOrAFailingPlayerIsLoggedOnceAndThenSkipped) {
    const QString wav = home.path("a.wav");
    writeBytes(wav, "x");
    x11::ProcessSoundPlayer failing(scriptChooser(
        home.path("marks"),
        QStringLiteral("echo run >> \"$1\"; echo 'no soundcards found' >&2; exit 1")));
    EXPECT_FALSE(failing.play(wav, true)); // it ran, and failed
    EXPECT_TRUE(failing.hasFailed());
    EXPECT_FALSE(failing.play(wav, true));
    EXPECT_EQ(readBytes(home.path("marks")), "run\n"); // not started again
    EXPECT_EQ(log().count(QStringLiteral("no soundcards found")), 1);

    x11::ProcessSoundPlayer none([](const QString&) { return std::optional<x11::SoundCommand>(); });
    EXPECT_FALSE(none.play(wav, false));
    EXPECT_FALSE(none.play(wav, false));
    EXPECT_EQ(log().count(QStringLiteral("オーディオデバイス")), 1);
}
