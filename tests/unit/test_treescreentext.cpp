// Screen texts walked element by element, as MSAA gives them.
#include "platform/fake/fakeaccessibility.h"
#include "platform/fake/fakedesktop.h"
#include "redact/treescreentext.h"

#include <gtest/gtest.h>

namespace klavoro {
namespace {

class TreeScreenTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        desktop.addWindow(FakeWindow{10, 0, 0, {0, 0, 600, 400}, "Form", "申込", 42});
        root = service.add("root", role::Client, "申込", {0, 0, 600, 400});
        service.setWindowObject(10, root);
    }
    FakeElementRef add(const QString& key, int role, const QString& name, QRect rect,
                       const FakeElementRef& parent = nullptr) {
        return service.add(key, role, name, rect, parent ? parent : root);
    }
    std::vector<QString> boxed(const ScreenTextScan& scan) {
        std::vector<QString> out;
        for (const ScreenText& t : scan.texts)
            out.push_back(t.password ? QStringLiteral("(password)") : t.text);
        return out;
    }

    FakeDesktop desktop;
    FakeAccessibility service;
    FakeElementRef root;
    TreeScreenText texts{desktop, service};
    const RedactionRules rules{true, redactkind::All, QStringLiteral("社外秘")};
};

TEST_F(TreeScreenTextTest, MatchesAndPasswordFieldsInTheAreaAreFoundAndNothingElse) {
    add("mail", role::StaticText, "連絡先: jiro.suzuki@example.jp", {10, 10, 300, 20});
    const auto edit = add("edit", role::Text, "宛先", {10, 40, 200, 20});
    edit->elementValue = "hanako@example.com";
    const auto password = add("pw", role::Text, "パスワード", {10, 70, 200, 20});
    password->stateBits = state::Protected;
    password->secret = "hunter2";
    add("ok", role::PushButton, "OK", {10, 100, 80, 30});
    // Named after its label, which is boxed where it stands.
    add("labelled", role::Text, "連絡先: jiro.suzuki@example.jp", {100, 100, 100, 20});
    const auto hidden = add("hidden", 20, QString(), {10, 140, 300, 40});
    hidden->stateBits = state::Invisible;
    add("hiddenMail", role::StaticText, "taro@example.jp", {10, 140, 300, 20}, hidden);
    const auto far = add("far", 20, QString(), {400, 300, 150, 60});
    add("farMail", role::StaticText, "x@example.jp", {400, 300, 150, 20}, far);
    // A container that tells no place can still hold texts that do.
    const auto placeless = add("group", 20, QString(), QRect());
    add("secret", role::StaticText, "社外秘の資料", {10, 170, 120, 20}, placeless);

    const ScreenTextScan scan = texts.textsIn({50, 50}, {0, 0, 350, 200}, rules, 1000);
    EXPECT_EQ(boxed(scan),
              (std::vector<QString>{"連絡先: jiro.suzuki@example.jp", "hanako@example.com",
                                    "(password)", "社外秘の資料"}));
    EXPECT_EQ(scan.texts[0].rect, QRect(10, 10, 300, 20)) << "the whole element is boxed";
    EXPECT_EQ(scan.unread, 0);
    EXPECT_FALSE(scan.timedOut);
    EXPECT_EQ(password->valueReads, 0) << "a password field's content is never asked";
}

TEST_F(TreeScreenTextTest, NoWindowOrASpentBudgetGivesNoTexts) {
    add("mail", role::StaticText, "jiro@example.jp", {10, 10, 300, 20});
    EXPECT_TRUE(texts.textsIn({700, 500}, {600, 400, 50, 50}, rules, 1000).texts.empty());
    const ScreenTextScan spent = texts.textsIn({50, 50}, {0, 0, 350, 200}, rules, -1);
    EXPECT_TRUE(spent.texts.empty());
    EXPECT_EQ(spent.unread, 1) << "what was not read is counted";
}

} // namespace
} // namespace klavoro
