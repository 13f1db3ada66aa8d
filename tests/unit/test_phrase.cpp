#include "describe/doubleclickmerge.h"
#include "describe/phrase.h"
#include "store/settings.h"
#include "tests/unit/testutil.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

ElementInfo element(const QString& name, const QString& role, const QString& parentName,
                    const QString& parentRole) {
    ElementInfo info;
    info.name = name;
    info.roleText = role;
    info.parentName = parentName;
    info.parentRoleText = parentRole;
    return info;
}

class MouseSentence : public ::testing::Test {
protected:
    QString compose(const QString& eventName, const ElementInfo& info,
                    const QString& modifiers = QString()) {
        return mouseSentence(eventName, modifiers, info, settings, dialogs)
            .value_or(QStringLiteral("<none>"));
    }
    Settings settings;
    test::FakeDialogs dialogs;
};

} // namespace

TEST_F(MouseSentence, ButtonWithItsOwnWindowAsParent) {
    const auto info = element(QStringLiteral("OK"), QStringLiteral("ボタン"), QStringLiteral("OK"),
                              QStringLiteral("ウィンドウ"));
    EXPECT_EQ(compose(QStringLiteral("Left"), info),
              QStringLiteral("[OK](ボタン)を、クリックします。"));
}

TEST_F(MouseSentence, MenuItemUnderItsMenu) {
    const auto info = element(QStringLiteral("開く(O)..."), QStringLiteral("メニュー項目"),
                              QStringLiteral("ファイル(F)"), QStringLiteral("メニュー"));
    EXPECT_EQ(compose(QStringLiteral("Left"), info),
              QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"));
    settings.abbLeft = 0;
    EXPECT_EQ(compose(QStringLiteral("Left+Ctrl"), info, QStringLiteral("Ctrlを押しながら")),
              QStringLiteral("[ファイル](メニュー)の[開く]を、Ctrlを押しながら左クリックします。"));
}

TEST_F(MouseSentence, VerbsOfEveryButtonAndDrag) {
    const ElementInfo none;
    EXPECT_EQ(compose(QStringLiteral("RDrag"), none), QStringLiteral("右ドラッグします。"));
    EXPECT_EQ(compose(QStringLiteral("Right+Shift"), none), QStringLiteral("右クリックします。"));
    EXPECT_EQ(compose(QStringLiteral("Middle"), none), QStringLiteral("中クリックします。"));
    EXPECT_EQ(compose(QStringLiteral("MDrag"), none), QStringLiteral("中ドラッグします。"));
    EXPECT_EQ(compose(QStringLiteral("LDrag"), none), QStringLiteral("ドラッグします。"));
    settings.abbLeft = 0;
    EXPECT_EQ(compose(QStringLiteral("LDrag"), none), QStringLiteral("左ドラッグします。"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MouseSentence, KeyEventsHaveNoMouseSentence) {
    EXPECT_EQ(compose(QStringLiteral("Key"), ElementInfo()), QStringLiteral("<none>"));
    EXPECT_EQ(compose(QStringLiteral("key"), ElementInfo()), QStringLiteral("<none>"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MouseSentence, UnknownEventNameWarnsAndGoesOn) {
    const auto info = element(QStringLiteral("OK"), QStringLiteral("ボタン"), QString(), QString());
    EXPECT_EQ(compose(QStringLiteral("Wheel+Ctrl"), info),
              QStringLiteral("[OK](ボタン)を、します。"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("error!"));
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("Wheel+Ctrl,"));
}

TEST_F(MouseSentence, ParentRoleShowsEvenWhenTheParentNameIsTheElementName) {
    const auto info = element(QStringLiteral("一覧"), QStringLiteral("データグリッド"),
                              QStringLiteral("一覧"), QStringLiteral("グループ"));
    EXPECT_EQ(compose(QStringLiteral("Left"), info),
              QStringLiteral("(グループ)の[一覧](データグリッド)を、クリックします。"));
}

TEST_F(MouseSentence, NameComparisonIsAfterReplacement) {
    settings.replaceStr = QStringLiteral("ok\tOK");
    const auto info =
        element(QStringLiteral("OK"), QStringLiteral("ボタン"), QStringLiteral("ok"), QString());
    EXPECT_EQ(compose(QStringLiteral("Left"), info),
              QStringLiteral("[OK](ボタン)を、クリックします。"));
}

TEST_F(MouseSentence, SwitchesLeaveOutTheirParts) {
    const auto info = element(QStringLiteral("保存"), QStringLiteral("ボタン"),
                              QStringLiteral("ツール"), QStringLiteral("ツールバー"));
    settings.dspPhrase0 = 0;
    EXPECT_EQ(compose(QStringLiteral("Left"), info),
              QStringLiteral("(ツールバー)の[保存](ボタン)を、クリックします。"));
    settings.dspPhrase1 = 0;
    settings.dspPhrase4 = 0;
    EXPECT_EQ(compose(QStringLiteral("Left"), info), QStringLiteral("[保存]を、クリックします。"));
    settings.dspPhrase3 = 0;
    EXPECT_EQ(compose(QStringLiteral("Left"), info), QStringLiteral("クリックします。"));
}

TEST_F(MouseSentence, LongNamesAreCutAtTheirOwnWidths) {
    const QString longParent(15, QChar(0x3042)); // width 30: cut
    const QString longName(30, QChar(0x3044));   // width 60: cut at 40
    const auto info = element(longName, QString(), longParent, QString());
    EXPECT_EQ(compose(QStringLiteral("Left"), info),
              QStringLiteral("[") + QString(11, QChar(0x3042)) + QStringLiteral("...]の[") +
                  QString(16, QChar(0x3044)) + QStringLiteral("...]を、クリックします。"));
}

TEST_F(MouseSentence, BracketSettingsOfOneOrNoCharacter) {
    const auto info = element(QStringLiteral("OK"), QStringLiteral("ボタン"), QString(), QString());
    settings.brackets3 = QStringLiteral("【");
    settings.brackets4 = QString();
    EXPECT_EQ(compose(QStringLiteral("Left"), info),
              QStringLiteral("【OKボタンを、クリックします。"));
}

TEST_F(MouseSentence, TabsInNamesDependOnTheShortcutSwitch) {
    const auto info = element(QStringLiteral("開く\tCtrl+O"), QString(), QString(), QString());
    EXPECT_EQ(compose(QStringLiteral("Left"), info), QStringLiteral("[開く]を、クリックします。"));
    settings.noShortcut = 0;
    // Collapse turns the TAB into a blank in the element name.
    EXPECT_EQ(compose(QStringLiteral("Left"), info),
              QStringLiteral("[開く Ctrl+O]を、クリックします。"));
    // A TAB in a part that is not collapsed is removed by the final clean-up.
    const auto roleWithTab =
        element(QString(), QStringLiteral("ボ\tタン\r\n"), QString(), QString());
    EXPECT_EQ(compose(QStringLiteral("Left"), roleWithTab),
              QStringLiteral("(ボタン)を、クリックします。"));
}

TEST_F(MouseSentence, WhenNothingNamesTheElementItsRoleAndWindowDo) {
    ElementInfo text = element(QString(), QStringLiteral("テキスト"), QString(),
                               QStringLiteral("ウィンドウ"));
    text.windowTitle = QStringLiteral("無題 1 - Mousepad");
    // "テキスト" is deleted by the default replacement list, but it is all
    // that says what was clicked.
    EXPECT_EQ(compose(QStringLiteral("Left"), text),
              QStringLiteral("[無題 1 - Mousepad]の(テキスト)を、クリックします。"));
    ElementInfo combo = element(QString(), QStringLiteral("コンボボックス"), QString(), QString());
    combo.windowTitle = QStringLiteral("設定");
    EXPECT_EQ(compose(QStringLiteral("Left"), combo),
              QStringLiteral("[設定]の(コンボボックス)を、クリックします。"));
    // No role at all: the window itself.
    ElementInfo bare;
    bare.windowTitle = QStringLiteral("電卓");
    EXPECT_EQ(compose(QStringLiteral("RDrag"), bare), QStringLiteral("[電卓]を、右ドラッグします。"));
    // A name that is only a shortcut mark names nothing: no empty bracket.
    ElementInfo mark = element(QStringLiteral("(A)"), QStringLiteral("ボタン"), QString(),
                               QString());
    mark.windowTitle = QStringLiteral("設定");
    EXPECT_EQ(compose(QStringLiteral("Left"), mark),
              QStringLiteral("[設定]の(ボタン)を、クリックします。"));
    // A named element keeps the designed sentence; without a title nothing is added.
    text.name = QStringLiteral("本文");
    EXPECT_EQ(compose(QStringLiteral("Left"), text), QStringLiteral("[本文]を、クリックします。"));
    EXPECT_EQ(compose(QStringLiteral("RDrag"), ElementInfo()), QStringLiteral("右ドラッグします。"));
}

TEST(KeyAndTypedSentences, DefaultPhrases) {
    const Settings s;
    EXPECT_EQ(keySentence(QStringLiteral("Tab"), QStringLiteral("Shiftを押しながら"), s),
              QStringLiteral("Shiftを押しながらTabキーを押します。"));
    EXPECT_EQ(typedTextSentence(QStringLiteral("abc"), s), QStringLiteral("\"abc\"を入力します。"));
    // Line breaks of any kind are stored as code 4: a raw one would split
    // the step line in OpList.txt.
    EXPECT_EQ(typedTextSentence(QStringLiteral("a\r\nb\tc\rd\ne"), s),
              QStringLiteral("\"a\u0004b c\u0004d\u0004e\"を入力します。"));
    EXPECT_EQ(passwordSentence(s), QStringLiteral("パスワードを入力します。"));
}

TEST(WindowNamePrefix, StripsThenReplaces) {
    Settings s;
    const QString typed = typedTextSentence(QStringLiteral("abc"), s);
    EXPECT_EQ(windowNamePrefix(QStringLiteral("ユーザー名"), typed, s),
              QStringLiteral("(ユーザー名)で\"abc\"を入力します。"));
    // Stripping first: the replacement sees "ファイル", not "ファイル(F)".
    s.replaceStr = QStringLiteral("ファイル\tFile\u0001(F)\tX");
    EXPECT_EQ(windowNamePrefix(QStringLiteral("ファイル(F)"), QStringLiteral("S"), s),
              QStringLiteral("(File)でS"));
    EXPECT_EQ(windowNamePrefix(QString(), QStringLiteral("S"), s), QStringLiteral("S"));
    s.dspPhrase4 = 0;
    EXPECT_EQ(windowNamePrefix(QStringLiteral("名前"), QStringLiteral("S"), s),
              QStringLiteral("S"));
}

TEST(DoubleClickSentence, OnlyTheLastFourteenCharacters) {
    EXPECT_EQ(doubleClickSentence(QStringLiteral("[OK](ボタン)を、クリックします。")),
              QStringLiteral("[OK](ボタン)を、ダブルクリックします。"));
    // A クリック early in a long sentence stays.
    const QString name =
        QStringLiteral("[クリック対象の長い名前の項目](ボタン)を、右クリックします。");
    EXPECT_EQ(doubleClickSentence(name),
              QStringLiteral("[クリック対象の長い名前の項目](ボタン)を、右ダブルクリックします。"));
    EXPECT_EQ(doubleClickSentence(QStringLiteral("クリック")), QStringLiteral("ダブルクリック"));
    EXPECT_EQ(doubleClickSentence(QStringLiteral("ダブルクリックします。")),
              QStringLiteral("ダブルクリックします。"));
}

namespace {
class LastStep : public LastRecordedStep {
public:
    QString lastEventName() const override { return eventName; }
    QString lastSentence() const override { return sentence; }
    void replaceLastSentence(const QString& s) override {
        sentence = s;
        ++replaced;
    }
    QString eventName;
    QString sentence;
    int replaced = 0;
};
} // namespace

TEST(MergeDoubleClick, RewritesAClickOfTheSameButton) {
    LastStep last;
    last.eventName = QStringLiteral("Left+Ctrl");
    last.sentence = QStringLiteral("[OK](ボタン)を、Ctrlを押しながらクリックします。");
    EXPECT_TRUE(mergeDoubleClick(QStringLiteral("Left"), last));
    EXPECT_EQ(last.sentence,
              QStringLiteral("[OK](ボタン)を、Ctrlを押しながらダブルクリックします。"));
    // The same step once more: nothing left to rewrite.
    EXPECT_FALSE(mergeDoubleClick(QStringLiteral("Left"), last));
    EXPECT_EQ(last.replaced, 1);
}

TEST(MergeDoubleClick, OtherStepsStayAsTheyAre) {
    LastStep last;
    last.sentence = QStringLiteral("クリックします。");
    for (const char* previous : {"", "Right", "LDrag", "input", "key"}) {
        last.eventName = QString::fromLatin1(previous);
        EXPECT_FALSE(mergeDoubleClick(QStringLiteral("Left"), last)) << previous;
    }
    last.eventName = QStringLiteral("Middle");
    EXPECT_FALSE(mergeDoubleClick(QStringLiteral("MDrag"), last));
    EXPECT_EQ(last.replaced, 0);
}
