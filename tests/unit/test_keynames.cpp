#include "describe/eventname.h"
#include "describe/keynames.h"
#include "describe/keystrokes.h"
#include "platform/fake/fakekeystate.h"
#include "platform/fake/fakesyntheticinput.h"
#include "store/dialogs.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {
struct RecordingDialogs : Dialogs {
    QStringList shown;
    void message(const QString& text, const QString& title) override {
        shown << title + ":" + text;
    }
    bool askYesNo(const QString&, const QString&, bool) override { return true; }
};
} // namespace

TEST(KeyNames, TableEntries) {
    EXPECT_EQ(keyName(0), QString());
    EXPECT_EQ(keyName(10), QString());
    EXPECT_EQ(keyName(1), " ");
    EXPECT_EQ(keyName(2), " ");
    EXPECT_EQ(keyName(4), " ");
    EXPECT_EQ(keyName(3), "Break");
    EXPECT_EQ(keyName(28), "変換");
    EXPECT_EQ(keyName(32), "スペース");
    EXPECT_EQ(keyName(48), "0");
    EXPECT_EQ(keyName(57), "9");
    EXPECT_EQ(keyName(65), "A");
    EXPECT_EQ(keyName(90), "Z");
    EXPECT_EQ(keyName(96), "テンキー0");
    EXPECT_EQ(keyName(105), "テンキー9");
    EXPECT_EQ(keyName(112), "F1");
    EXPECT_EQ(keyName(135), "F24");
    EXPECT_EQ(keyName(136), QString());
    EXPECT_EQ(keyName(189), "-^");
    EXPECT_EQ(keyName(220), "\\");
    EXPECT_EQ(keyName(226), QString::fromUtf8("\\(バックスラッシュ）"));
    EXPECT_EQ(keyName(243), "半角／全角");
    EXPECT_EQ(keyName(244), "半角／全角");
    EXPECT_EQ(keyName(0x100 + 65), "A"); // low byte only
    int named = 0;
    for (const QString& n : KeyNames())
        named += n.isEmpty() ? 0 : 1;
    EXPECT_EQ(named, 124);
}

TEST(MakeEventName, BaseNamesAndModifierOrder) {
    FakeKeyState keys;
    RecordingDialogs dialogs;
    EXPECT_EQ(MakeEventName("LEFT_DOWN", 0, keys, dialogs), "Left");
    EXPECT_EQ(MakeEventName("MIDDLE_DBLCLK", 0, keys, dialogs), "Middle");
    EXPECT_EQ(MakeEventName("LEFT_DRAG", 0, keys, dialogs), "LDrag");
    EXPECT_EQ(MakeEventName("RIGHT_UP", 0, keys, dialogs), "Right");
    EXPECT_EQ(MakeEventName("RIGHT_DRAG", 0, keys, dialogs), "RDrag");
    EXPECT_EQ(MakeEventName("MIDDLE_DRAG", 0, keys, dialogs), "MDrag");
    keys.press(18);
    keys.press(17);
    EXPECT_EQ(MakeEventName("LEFT_DOWN", 0, keys, dialogs), "Left+Ctrl+Alt");
    keys.release(18);
    keys.release(17);
    keys.tap(16); // pressed since the last read
    EXPECT_EQ(MakeEventName("RIGHT_DOWN", 0, keys, dialogs), "Right+Shift");
    EXPECT_EQ(MakeEventName("RIGHT_DOWN", 0, keys, dialogs), "Right");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST(MakeEventName, UnknownKindsWarnUnlessKey) {
    FakeKeyState keys;
    RecordingDialogs dialogs;
    EXPECT_EQ(MakeEventName("Key", 65, keys, dialogs), QString());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    keys.press(17);
    EXPECT_EQ(MakeEventName("KEY_DOWN", 65, keys, dialogs), "+Ctrl");
    EXPECT_EQ(dialogs.shown, QStringList{"MakeEventName:error!"});
}

TEST(ModifierPhrase, FixedOrder) {
    EXPECT_EQ(modifierPhrase({}), QString());
    EXPECT_EQ(modifierPhrase({false, false, true}), "Shiftを押しながら");
    EXPECT_EQ(modifierPhrase({true, false, true}), "Shift+Altを押しながら");
    EXPECT_EQ(modifierPhrase({false, true, true}), "Ctrl+Shiftを押しながら");
    EXPECT_EQ(modifierPhrase({true, true, true}), "Ctrl+Shift+Altを押しながら");
}

TEST(KeyClass, ControlRangesOnlyWithKeyRecordChar) {
    for (int code : {16, 17, 18}) {
        EXPECT_EQ(keyClass(code, 1), "modify");
        EXPECT_EQ(keyClass(code, 0), "modify");
    }
    for (int code : {9, 13, 37, 38, 39, 40, 46, 47, 91, 92, 93, 112, 116, 145, 240, 243, 244})
        EXPECT_EQ(keyClass(code, 1), "control") << code;
    // The space is typed text, never a key step.
    for (int code : {8, 32, 48, 57, 65, 90, 94, 96, 105, 146, 186, 239, 245})
        EXPECT_EQ(keyClass(code, 1), "data") << code;
    EXPECT_EQ(keyClass(13, 0), "data");
    EXPECT_EQ(keyClass(13, 2), "data");
    EXPECT_EQ(keyClass(0, 1), QString());
    EXPECT_EQ(keyClass(0, 0), QString());
}

TEST(KeyChords, SequencesAreSentOneByOne) {
    FakeSyntheticInput input;
    ASSERT_TRUE(sendKeyChord(input, KeyChord::Copy));
    EXPECT_EQ(input.keys, (QList<KeyStroke>{{17, false}, {67, false}, {67, true}, {17, true}}));
    EXPECT_EQ(keyChordStrokes(KeyChord::Cut)[1], (KeyStroke{88, false}));
    EXPECT_EQ(keyChordStrokes(KeyChord::Paste)[2], (KeyStroke{86, true}));
    EXPECT_EQ(keyChordStrokes(KeyChord::SelectAll), (QList<KeyStroke>{{17, false},
                                                                      {36, false},
                                                                      {36, true},
                                                                      {16, false},
                                                                      {35, false},
                                                                      {35, true},
                                                                      {17, true},
                                                                      {16, true}}));
    // A missing key fails the chord but the rest is still sent (nothing stays held).
    input.keys.clear();
    input.missingKeys = {86};
    EXPECT_FALSE(sendKeyChord(input, KeyChord::Paste));
    EXPECT_EQ(input.keys, (QList<KeyStroke>{{17, false}, {17, true}}));
}
