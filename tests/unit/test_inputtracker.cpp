#include "describe/inputtracker.h"
#include "describe/inspector.h"
#include "platform/fake/fakeaccessibility.h"
#include "platform/fake/fakedesktop.h"
#include "store/settings.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

constexpr int kTab = 9, kEnter = 13, kShift = 16, kA = 65;

struct Step {
    QString kind; // "input" or "key"
    QString sentence;
    std::optional<QPoint> centre;
};

class Host : public TrackerHost {
public:
    void writeInputStep(const QString& sentence) override { steps.append({"input", sentence, {}}); }
    void writeKeyStep(const QString& sentence, std::optional<QPoint> centre) override {
        steps.append({"key", sentence, centre});
    }
    void settleKeyPress() override { ++settles; }
    QList<Step> steps;
    int settles = 0;
};

FakeWindow appWindow(WindowId id, QRect rect) {
    FakeWindow w;
    w.id = id;
    w.rect = rect;
    w.className = QStringLiteral("App");
    w.pid = 5;
    return w;
}

class Tracking : public ::testing::Test {
protected:
    Tracking() {
        desktop.addWindow(appWindow(100, {0, 0, 400, 300}));
        desktop.setForeground(100);
        frame =
            service.add(QStringLiteral("frame"), 9, QStringLiteral("Fixture"), {0, 0, 400, 300});
        name = service.add(QStringLiteral("name"), 42, QStringLiteral("名前"), {10, 10, 101, 21},
                           frame);
        password = service.add(QStringLiteral("pw"), 42, QStringLiteral("パスワード"),
                               {10, 40, 100, 20}, frame);
        password->stateBits = state::Protected | state::Focusable;
        password->secret = QStringLiteral("hunter2");
        ok = service.add(QStringLiteral("ok"), 43, QStringLiteral("OK"), {10, 70, 80, 25}, frame);
        service.setWindowObject(100, frame);
        tracker.reset();
    }

    // The user types into `field`: its content becomes `content`.
    void type(const FakeElementRef& field, const QString& content, int key = kA) {
        service.setFocused(field);
        if (field->stateBits & state::Protected)
            field->secret = content;
        else
            field->elementValue = content;
        tracker.keyDown(key, {}, true);
    }

    void press(int key, const FakeElementRef& focusAfter, ModifierFlags flags = {}) {
        service.setFocused(focusAfter);
        tracker.keyDown(key, flags, true);
    }

    FakeAccessibility service;
    FakeDesktop desktop;
    ElementInspector inspector{service, desktop};
    Host host;
    Settings settings;
    InputTracker tracker{inspector, desktop, host, settings};
    FakeElementRef frame, name, password, ok;
};

} // namespace

TEST_F(Tracking, TypedTextIsWrittenWhenTheUserClicksElsewhere) {
    tracker.buttonDown(name, 100);
    type(name, QStringLiteral("a"));
    type(name, QStringLiteral("ab"));
    EXPECT_TRUE(host.steps.isEmpty());
    tracker.buttonDown(ok, 100);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(host.steps[0].kind, QStringLiteral("input"));
    EXPECT_EQ(host.steps[0].sentence, QStringLiteral("(名前)で\"ab\"を入力します。"));
    EXPECT_EQ(tracker.elementName(), QStringLiteral("OK"));
    // Clicking the same control again writes nothing more.
    tracker.buttonDown(ok, 100);
    EXPECT_EQ(host.steps.size(), 1);
}

TEST_F(Tracking, APressInTheSameFieldEndsTheTextAndOnlyNewTextFollows) {
    name->elementValue = QStringLiteral("Hello");
    tracker.buttonDown(name, 100);
    type(name, QStringLiteral("Hello world"));
    // A click inside the field, to type elsewhere in it.
    tracker.buttonDown(name, 100);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(host.steps[0].sentence, QStringLiteral("(名前)で\" world\"を入力します。"));
    type(name, QStringLiteral("Hello big world"));
    tracker.buttonDown(ok, 100);
    ASSERT_EQ(host.steps.size(), 2);
    EXPECT_EQ(host.steps[1].sentence, QStringLiteral("(名前)で\"big \"を入力します。"));
}

TEST_F(Tracking, TypedPartIsTheInsertionOrTheWholeContent) {
    EXPECT_EQ(InputTracker::typedPart(QString(), QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(InputTracker::typedPart(QStringLiteral("abc"), QStringLiteral("abcdef")),
              QStringLiteral("def"));
    EXPECT_EQ(InputTracker::typedPart(QStringLiteral("ac"), QStringLiteral("abbc")),
              QStringLiteral("bb"));
    EXPECT_EQ(InputTracker::typedPart(QStringLiteral("aa"), QStringLiteral("aaa")),
              QStringLiteral("a"));
    // Something was replaced or deleted: the whole content says it.
    EXPECT_EQ(InputTracker::typedPart(QStringLiteral("foo"), QStringLiteral("bar")),
              QStringLiteral("bar"));
    EXPECT_EQ(InputTracker::typedPart(QStringLiteral("abcd"), QStringLiteral("abXd")),
              QStringLiteral("abXd"));
}

TEST_F(Tracking, KeysTypedBeforeAPressAreReadFromTheControlTheyWentTo) {
    tracker.buttonDown(name, 100);
    name->elementValue = QStringLiteral("abc");
    // The press that follows has already moved the focus to the password field.
    service.setFocused(password);
    tracker.keyDown(kA, {}, false, name);
    tracker.buttonDown(password, 100);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(host.steps[0].sentence, QStringLiteral("(名前)で\"abc\"を入力します。"));
}

TEST_F(Tracking, AFieldsContentAtThePressIsNotTypedText) {
    tracker.buttonDownOn(QStringLiteral("name"), QStringLiteral("名前"), 100,
                         QStringLiteral("既存の"));
    type(name, QStringLiteral("既存の文章"));
    tracker.buttonDown(ok, 100);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(host.steps[0].sentence, QStringLiteral("(名前)で\"文章\"を入力します。"));
}

TEST_F(Tracking, ControlsOfOneWindowAreToldApart) {
    // Both fields live in window 100; the element decides.
    tracker.buttonDown(name, 100);
    type(name, QStringLiteral("abc"));
    tracker.buttonDown(password, 100);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(host.steps[0].sentence, QStringLiteral("(名前)で\"abc\"を入力します。"));
}

TEST_F(Tracking, TabWritesTheTextThenAKeyStepWithoutTheName) {
    tracker.buttonDown(name, 100);
    type(name, QStringLiteral("abc"));
    press(kTab, password);
    ASSERT_EQ(host.steps.size(), 2);
    EXPECT_EQ(host.steps[0].sentence, QStringLiteral("(名前)で\"abc\"を入力します。"));
    EXPECT_EQ(host.steps[1].kind, QStringLiteral("key"));
    EXPECT_EQ(host.steps[1].sentence, QStringLiteral("Tabキーを押します。"));
    // No rectangle tracked yet: the image is centred on the newly focused field.
    EXPECT_EQ(host.steps[1].centre, QPoint(60, 50));
    EXPECT_EQ(tracker.elementName(), QStringLiteral("パスワード"));
    EXPECT_EQ(tracker.trackedRect(), password->rect);
    EXPECT_EQ(tracker.trackedControl(), QStringLiteral("pw"));
}

TEST_F(Tracking, KeyStepWithoutTextKeepsTheWindowNameAndModifiers) {
    press(kTab, name);
    host.steps.clear();
    ModifierFlags shift;
    shift.shift = true;
    press(kTab, ok, shift);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(host.steps[0].sentence,
              QStringLiteral("(名前)でShiftを押しながらTabキーを押します。"));
    // Centred on the tracked field {10, 10, 101, 21}: 60.5 and 20.5 round to even.
    EXPECT_EQ(host.steps[0].centre, QPoint(60, 20));
}

TEST_F(Tracking, ControlKeyInTheSameControlMakesNoStep) {
    press(kTab, name);
    host.steps.clear();
    press(kEnter, name);
    EXPECT_TRUE(host.steps.isEmpty());
}

TEST_F(Tracking, UnchangedContentIsNoTypedText) {
    name->elementValue = QStringLiteral("既存");
    press(kTab, name);
    EXPECT_EQ(tracker.initialValue(), QStringLiteral("既存"));
    type(name, QStringLiteral("既存"));
    press(kTab, ok);
    ASSERT_EQ(host.steps.size(), 2);
    EXPECT_EQ(host.steps[1].kind, QStringLiteral("key"));
    EXPECT_EQ(host.steps[1].sentence, QStringLiteral("(名前)でTabキーを押します。"));
}

TEST_F(Tracking, ALeftoverInitialValueDoesNotTurnAButtonIntoTypedText) {
    name->elementValue = QStringLiteral("既存");
    press(kTab, name);
    press(kTab, ok); // a button has no text
    host.steps.clear();
    type(ok, QString()); // a letter pressed on the button
    tracker.buttonDown(name, 100);
    EXPECT_TRUE(host.steps.isEmpty());
}

TEST_F(Tracking, PasswordIsNeverRead) {
    tracker.buttonDown(password, 100);
    type(password, QStringLiteral("hunter2"));
    press(kTab, password); // same control: nothing
    tracker.buttonDown(ok, 100);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(host.steps[0].sentence, QStringLiteral("(パスワード)でパスワードを入力します。"));
    EXPECT_EQ(password->valueReads, 0);
    for (const Step& s : host.steps)
        EXPECT_FALSE(s.sentence.contains(QStringLiteral("hunter2")));
    EXPECT_FALSE(tracker.text().contains(QStringLiteral("hunter2")));
}

TEST_F(Tracking, TabIntoAPasswordFieldReadsNoInitialValue) {
    press(kTab, password);
    EXPECT_EQ(password->valueReads, 0);
    EXPECT_EQ(tracker.initialValue(), QString());
}

TEST_F(Tracking, ModifiersAndDisabledRecordingDoNothing) {
    press(kShift, name);
    EXPECT_EQ(host.settles, 0);
    settings.keyRecord = 0;
    press(kTab, name);
    type(name, QStringLiteral("x"));
    EXPECT_EQ(host.settles, 0);
    EXPECT_TRUE(tracker.nothingTyped());
    EXPECT_TRUE(host.steps.isEmpty());
}

TEST_F(Tracking, WithoutControlKeysEnterIsText) {
    settings.keyRecordChar = 0;
    tracker.buttonDown(name, 100);
    type(name, QStringLiteral("a\r\nb"), kEnter);
    EXPECT_TRUE(host.steps.isEmpty());
    tracker.buttonDown(ok, 100);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(host.steps[0].sentence, QStringLiteral("(名前)で\"a\u0004b\"を入力します。"));
}

TEST_F(Tracking, KeyCaptureOffGivesNoImage) {
    settings.keyCapture = 0;
    press(kTab, name);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_FALSE(host.steps[0].centre.has_value());
}

TEST_F(Tracking, HookKeysWaitBeforeReading) {
    press(kTab, name);
    tracker.keyDown(kA, {}, false);
    EXPECT_EQ(host.settles, 1);
}

TEST_F(Tracking, WithoutFocusTheWindowUnderThePointerStandsIn) {
    desktop.setPointer({50, 50});
    press(kTab, nullptr);
    ASSERT_EQ(host.steps.size(), 1);
    EXPECT_EQ(tracker.trackedControl(), QStringLiteral("frame"));
    EXPECT_EQ(tracker.elementName(), QStringLiteral("Fixture"));
}

TEST_F(Tracking, NewForegroundWindowAfterAClickIsFollowed) {
    tracker.buttonDown(ok, 100);
    tracker.mouseStepFinished(); // same foreground: nothing
    EXPECT_EQ(tracker.elementName(), QStringLiteral("OK"));

    desktop.addWindow(appWindow(200, {500, 0, 300, 200}));
    auto dialogField =
        service.add(QStringLiteral("dlg"), 42, QStringLiteral("検索"), {510, 10, 100, 20});
    service.setFocused(dialogField);
    desktop.setForeground(200);
    tracker.mouseStepFinished();
    EXPECT_EQ(tracker.elementName(), QStringLiteral("検索"));
    EXPECT_EQ(tracker.trackedRect(), dialogField->rect);
}

TEST_F(Tracking, FlushWritesOnce) {
    tracker.buttonDown(name, 100);
    type(name, QStringLiteral("abc"));
    EXPECT_TRUE(tracker.flush());
    EXPECT_FALSE(tracker.flush());
    EXPECT_EQ(host.steps.size(), 1);
}
