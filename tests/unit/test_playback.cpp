#include "platform/character.h"
#include "playback/characterfile.h"
#include "playback/playback.h"
#include "record/runmode.h"
#include "store/settings.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

// A window whose clock moves only when playback sleeps; `stopAtMs` plays the
// user pressing stop at that moment.
class FakeHost : public PlaybackHost {
public:
    explicit FakeHost(RunMode& mode) : m_mode(mode) {}
    int stepCount() const override { return steps; }
    void selectIndex(int k) override {
        selected << k;
        selectedAtMs << now;
        log << QStringLiteral("select %1").arg(k);
    }
    void showProgress(const QString& text) override { progress << text; }
    void setPlaying(bool playing) override {
        log << (playing ? QStringLiteral("playing") : QStringLiteral("idle"));
        modeWhenIdle = m_mode.text();
    }
    void processEvents() override {
        ++events;
        if (stopAtMs >= 0 && now >= stopAtMs) m_mode.set(kRunIdle);
    }
    void sleepMs(int ms) override {
        now += ms;
        slept += ms;
    }
    qint64 tickMs() override { return now; }
    QRect mainWindowRect() const override { return window; }
    QSize screenSize() const override { return {1280, 1024}; }

    int steps = 5;
    qint64 now = 0, slept = 0, stopAtMs = -1;
    int events = 0;
    QList<int> selected;
    QList<qint64> selectedAtMs;
    QStringList progress, log;
    QString modeWhenIdle = QStringLiteral("unset");
    QRect window{760, 594, 500, 400};

private:
    RunMode& m_mode;
};

class FakeCharacter : public Character {
public:
    explicit FakeCharacter(QStringList& log) : m_log(log) {}
    QString name() const override { return QStringLiteral("マーリン"); }
    void setSoundEffectsOn(bool on) override { m_log << QStringLiteral("sound %1").arg(on); }
    void setBalloonFont(const QString& f, int size) override {
        m_log << QStringLiteral("font %1 %2").arg(f).arg(size);
    }
    void show() override { m_log << QStringLiteral("show"), visible = true; }
    void hide() override { m_log << QStringLiteral("hide"), visible = false; }
    void think(const QString& text) override { m_log << QStringLiteral("think ") + text; }
    bool play(const QString& a) override {
        const bool known = a == QLatin1String("Greet") || a == QLatin1String("Wave") ||
                           a == QLatin1String("Gestureleft");
        m_log << QStringLiteral("play ") + a + (known ? QString() : QStringLiteral(" ignored"));
        return known;
    }
    void moveTo(int x, int y) override {
        m_log << QStringLiteral("move %1,%2").arg(x).arg(y);
        m_x = x, m_y = y;
    }
    int left() const override { return m_x; }
    int top() const override { return m_y; }
    int width() const override { return 120; }
    int height() const override { return 160; }
    bool isVisible() const override { return visible; }
    bool visible = false;

private:
    QStringList& m_log;
    int m_x = 0, m_y = 0;
};

class FakeCharacters : public CharacterService {
public:
    QList<CharacterEntry> catalogue() override {
        ++catalogueCalls;
        return entries;
    }
    std::unique_ptr<Character> load(const QString& id, const QString& path) override {
        log << QStringLiteral("load ") + id + QStringLiteral(" ") + path;
        if (failLoad) return nullptr;
        return std::make_unique<FakeCharacter>(log);
    }
    QList<CharacterEntry> entries{
        {QStringLiteral("Other"), QStringLiteral("a.kchar"), QStringLiteral("/c")},
        {QStringLiteral("マーリン"), QStringLiteral("m.kchar"), QStringLiteral("/c")},
        {QStringLiteral("マーリン"), QStringLiteral("m2.kchar"), QStringLiteral("/d")}};
    QStringList log;
    int catalogueCalls = 0;
    bool failLoad = false;
};

struct PlaybackTest : ::testing::Test {
    RunMode mode;
    FakeHost host{mode};
    Settings settings;
    FakeCharacters characters;
    void SetUp() override { settings.animeChar.clear(); }
    void play(int from) { Playback(host, mode, settings, &characters).playFrom(from); }
};

} // namespace

TEST_F(PlaybackTest, PlaysEveryStepInOrderAndWaitsTheSpan) {
    settings.playSpan = 0.3f;
    play(1);
    EXPECT_EQ(host.selected, (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(host.progress.first(), QStringLiteral("再生中 1/5"));
    EXPECT_EQ(host.progress.last(), QStringLiteral("再生中 5/5"));
    // Three 100 ms waits per step.
    EXPECT_EQ(host.selectedAtMs, (QList<qint64>{0, 300, 600, 900, 1200}));
    EXPECT_EQ(host.slept, 1500);
    EXPECT_EQ(host.log.first(), QStringLiteral("playing"));
    EXPECT_EQ(host.log.last(), QStringLiteral("idle"));
    EXPECT_EQ(host.modeWhenIdle, QString());
    EXPECT_TRUE(mode.isIdle());
    EXPECT_EQ(characters.catalogueCalls, 0); // no character asked for: none looked up
}

TEST_F(PlaybackTest, StopDuringAWaitEndsWithinOneSliceAndKeepsTheStep) {
    settings.playSpan = 2.0f;
    host.stopAtMs = 2000 + 450; // during the wait on the second step
    play(1);
    EXPECT_EQ(host.selected, (QList<int>{0, 1}));
    EXPECT_LE(host.now - host.stopAtMs, 10);
    EXPECT_TRUE(mode.isIdle());
}

TEST_F(PlaybackTest, SpanZeroPlaysThroughWithoutWaiting) {
    settings.playSpan = 0.0f;
    host.steps = 4;
    play(1);
    EXPECT_EQ(host.selected, (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(host.slept, 0);
}

TEST_F(PlaybackTest, EmptyListRestoresAtOnceAndNoSelectionStartsBeforeStepOne) {
    host.steps = 0;
    play(1);
    EXPECT_TRUE(host.selected.isEmpty());
    EXPECT_EQ(host.log, (QStringList{QStringLiteral("playing"), QStringLiteral("idle")}));
    EXPECT_EQ(host.slept, 0);

    host.steps = 2;
    host.log.clear();
    settings.playSpan = 0.1f;
    play(0);
    EXPECT_EQ(host.selected, (QList<int>{-1, 0, 1}));
    EXPECT_EQ(host.progress.first(), QStringLiteral("再生中 0/2"));
}

TEST_F(PlaybackTest, CharacterGreetsBesideTheWindowAndWavesAtTheEnd) {
    settings.animeChar = QStringLiteral("マーリン");
    settings.playSpan = 0.0f;
    play(1);
    const QStringList expected = {
        QStringLiteral("load m.kchar /c/m.kchar"), // the first of two with that name
        QStringLiteral("move 640,619"),            // left of the window, 25 below its top
        QStringLiteral("sound 0"),
        QStringLiteral("font MS Pゴシック 18"),
        QStringLiteral("show"),
        QStringLiteral("think こんにちは"),
        QStringLiteral("play Greet"),
        QStringLiteral("play Gestureleft"),
        QStringLiteral("think "),
        QStringLiteral("think Bye!"),
        QStringLiteral("play Wave"),
        QStringLiteral("hide")};
    EXPECT_EQ(characters.log, expected);
    EXPECT_EQ(host.slept, 1000); // the pause after the greeting
}

TEST_F(PlaybackTest, CharacterOptionsAndFailures) {
    settings.animeChar = QStringLiteral("マーリン");
    settings.playSpan = 0.0f;
    settings.playSpeakStartMsg.clear();
    settings.playSpeakEndMsg.clear();
    settings.animePlayEnd = QStringLiteral("NoSuchAnimation");
    play(1);
    EXPECT_FALSE(characters.log.contains(QStringLiteral("play Greet")));
    EXPECT_TRUE(characters.log.contains(QStringLiteral("think ")));
    EXPECT_TRUE(characters.log.contains(QStringLiteral("play NoSuchAnimation ignored")));
    EXPECT_EQ(characters.log.last(), QStringLiteral("hide"));
    EXPECT_EQ(host.slept, 0);

    // Not in the catalogue, or failing to load: playback just runs.
    for (bool failLoad : {false, true}) {
        characters.log.clear();
        characters.failLoad = failLoad;
        settings.animeChar = failLoad ? QStringLiteral("マーリン") : QStringLiteral("まーりん");
        host.selected.clear();
        play(1);
        EXPECT_EQ(host.selected.size(), 5);
        EXPECT_TRUE(mode.isIdle());
        EXPECT_FALSE(characters.log.contains(QStringLiteral("show")));
    }
}

TEST(CharacterPlacement, BesideTheWindowOrMidScreen) {
    EXPECT_EQ(Playback::characterTarget(QRect(760, 594, 500, 400), {1280, 1024}, 120),
              QPoint(640, 619));
    // Window too far left or up: the middle of the screen.
    EXPECT_EQ(Playback::characterTarget(QRect(100, 50, 500, 400), {1280, 1024}, 120),
              QPoint(520, 512));
}

TEST(CharacterFile, ShippedCharacterLoadsWithItsAnimations) {
    QString error;
    const CharacterModel m =
        readCharacterFile(QStringLiteral(KLAVORO_SOURCE_DIR "/chars/merlin.kchar"), &error);
    ASSERT_EQ(m.name, QStringLiteral("マーリン")) << error.toStdString();
    for (const char* a : {"Greet", "Wave", "Gestureleft", "GetAttention"})
        EXPECT_GT(m.duration(QString::fromLatin1(a)), 0) << a;
    // Rest pose drawn, corners transparent, the robe opaque.
    const QImage rest = m.render({});
    EXPECT_EQ(rest.size(), m.size);
    EXPECT_EQ(qAlpha(rest.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(rest.pixel(60, 140)), 255);
    // Waving moves the arm: a frame in the middle differs from the rest pose.
    EXPECT_NE(m.render(m.poseAt(QStringLiteral("Wave"), 300)), rest);
    EXPECT_TRUE(m.poseAt(QStringLiteral("Wave"), m.duration(QStringLiteral("Wave")) + 1).isEmpty());
}

TEST(CharacterFile, KeyFramesInterpolateFromTheRestPose) {
    const CharacterModel m = parseCharacter(R"({"format": "klavoro-character 1", "name": "x",
        "width": 10, "height": 10, "parts": [{"id": "a", "shapes": [{"type": "rect", "rect": [0,0,5,5], "fill": "#ff0000"}]}],
        "animations": {"Go": [{"ms": 100, "a": {"dx": 10}}, {"ms": 100}]}})");
    ASSERT_EQ(m.name, QStringLiteral("x"));
    EXPECT_DOUBLE_EQ(m.poseAt(QStringLiteral("Go"), 50).value(QStringLiteral("a")).dx, 5.0);
    EXPECT_DOUBLE_EQ(m.poseAt(QStringLiteral("Go"), 150).value(QStringLiteral("a")).dx, 5.0);
    EXPECT_TRUE(m.poseAt(QStringLiteral("Nope"), 10).isEmpty());
}

TEST(CharacterFile, BrokenFilesAreRefusedWithAReason) {
    const char* bad[] = {
        "not json",
        R"({"format": "other", "name": "x", "width": 10, "height": 10, "parts": [{"id": "a"}]})",
        R"({"format": "klavoro-character 1", "name": "", "width": 10, "height": 10, "parts": [{"id": "a"}]})",
        R"({"format": "klavoro-character 1", "name": "x", "width": 100000, "height": 10, "parts": [{"id": "a"}]})",
        R"({"format": "klavoro-character 1", "name": "x", "width": 10, "height": 10, "parts": []})",
        R"({"format": "klavoro-character 1", "name": "x", "width": 10, "height": 10, "parts": [{"id": "a", "shapes": [{"type": "blob"}]}]})",
    };
    for (const char* json : bad) {
        QString error;
        EXPECT_TRUE(parseCharacter(json, &error).name.isEmpty()) << json;
        EXPECT_FALSE(error.isEmpty()) << json;
    }
    QString error;
    EXPECT_TRUE(readCharacterFile(QStringLiteral("/nonexistent/x.kchar"), &error).name.isEmpty());
}
