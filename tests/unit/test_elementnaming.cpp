#include "describe/elementnaming.h"
#include "platform/fake/fakeaccessibility.h"
#include "platform/fake/fakedesktop.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

// A dialog "設定" with a form: captions and fields side by side, as GTK
// grids and Qt form layouts build them.
class Naming : public ::testing::Test {
protected:
    Naming() {
        FakeWindow w;
        w.id = 100;
        w.rect = {0, 0, 400, 300};
        w.title = QStringLiteral("設定");
        w.pid = 7;
        desktop.addWindow(w);
        frame = service.add(QStringLiteral("frame"), 9, QStringLiteral("設定"), {0, 0, 400, 300});
        form = service.add(QStringLiteral("form"), 20, QString(), {0, 0, 400, 200}, frame);
        caption = service.add(QStringLiteral("cap"), 41, QStringLiteral("ファイル形式(F):"),
                              {10, 10, 80, 20}, form);
        combo = service.add(QStringLiteral("combo"), 46, QString(), {100, 10, 120, 20}, form);
        caption2 = service.add(QStringLiteral("cap2"), 41, QStringLiteral("幅："),
                               {10, 40, 80, 20}, form);
        spin = service.add(QStringLiteral("spin"), 52, QString(), {100, 40, 60, 20}, form);
        field = service.add(QStringLiteral("field"), 42, QString(), {100, 70, 120, 20}, form);
    }

    FakeAccessibility service;
    FakeDesktop desktop;
    FakeElementRef frame, form, caption, combo, caption2, spin, field;
};

} // namespace

TEST_F(Naming, AFieldWithoutANameTakesTheNearestCaptionBeforeIt) {
    EXPECT_EQ(nameOfElement(*combo), QStringLiteral("ファイル形式(F)"));
    // A full-width colon goes too.
    EXPECT_EQ(nameOfElement(*spin), QStringLiteral("幅"));
    // The caption before the spin button belongs to it, not to the next field.
    EXPECT_EQ(nameOfElement(*field), QString());
    // Buttons and other controls never borrow a caption.
    auto button = service.add(QStringLiteral("b"), 43, QString(), {300, 10, 50, 20}, form);
    EXPECT_EQ(nameOfElement(*button), QString());
}

TEST_F(Naming, LabelledByComesBeforeTheNearbyCaption) {
    auto other = service.add(QStringLiteral("other"), 41, QStringLiteral("形式"), {0, 250, 50, 20},
                             frame);
    combo->labels << other;
    EXPECT_EQ(nameOfElement(*combo), QStringLiteral("形式"));
    // An own name wins over both.
    combo->elementName = QStringLiteral("種類");
    EXPECT_EQ(nameOfElement(*combo), QStringLiteral("種類"));
}

TEST_F(Naming, ToolkitNamesAndRepeatedLabelsOfGtk4) {
    auto key = service.add(QStringLiteral("k4"), 43, QStringLiteral("4 4"), {0, 0, 10, 10}, form);
    auto label = service.add(QStringLiteral("l4"), 41, QStringLiteral("4"), {0, 0, 10, 10}, key);
    key->labels << label;
    EXPECT_EQ(nameOfElement(*key), QStringLiteral("4"));
    auto menuButton = service.add(QStringLiteral("mb"), 43, QStringLiteral("GtkMenuButton"),
                                  {0, 0, 10, 10}, form);
    EXPECT_EQ(nameOfElement(*menuButton), QString());
    // Its inner button, labelled by it, is no more named by the class.
    auto inner = service.add(QStringLiteral("mbi"), 43, QStringLiteral("GtkMenuButton"),
                             {0, 0, 10, 10}, menuButton);
    inner->labels << menuButton;
    EXPECT_EQ(nameOfElement(*inner), QString());
}

// A GTK 4 calculator's keys, as gnome-calculator gives them: "8 8" labelled
// by its label "8". Under load a read may get the key's name and the label
// relation but run out of time before the label's own text: the key is
// still named once.
TEST_F(Naming, Gtk4KeysAreNamedOnceWhenTheirLabelsTextIsNotRead) {
    for (const char* text : {"8", "×", "mod"}) {
        const QString label = QString::fromUtf8(text);
        auto key = service.add(QStringLiteral("key") + label, 43, label + u' ' + label,
                               {0, 0, 55, 40}, form);
        auto unread =
            service.add(QStringLiteral("lbl") + label, 41, QString(), {0, 0, 55, 40}, key);
        key->labels << unread;
        EXPECT_EQ(nameOfElement(*key), label);
        ElementInfo info;
        describeElement(info, *key);
        EXPECT_EQ(info.name, label);
        EXPECT_EQ(info.parentName, label); // the control stands alone: no "[8 8]" part
        // Read in time, the label names it the same.
        unread->elementName = label;
        EXPECT_EQ(nameOfElement(*key), label);
    }
    // A label said once stays whole ("元に戻す" labelled by itself), and a
    // name that repeats a word without a label is a name like any other.
    auto undo =
        service.add(QStringLiteral("undo"), 43, QStringLiteral("元に戻す"), {0, 0, 9, 9}, form);
    undo->labels << service.add(QStringLiteral("undoLabel"), 41, QString(), {0, 0, 9, 9}, undo);
    EXPECT_EQ(nameOfElement(*undo), QStringLiteral("元に戻す"));
    auto plain =
        service.add(QStringLiteral("plain"), 43, QStringLiteral("Bora Bora"), {0, 0, 9, 9}, form);
    EXPECT_EQ(nameOfElement(*plain), QStringLiteral("Bora Bora"));
}

TEST_F(Naming, AFieldInABoxOfItsOwnFindsTheCaptionBesideTheBox) {
    auto box = service.add(QStringLiteral("box"), 10, QString(), {100, 100, 200, 30}, form);
    auto inner = service.add(QStringLiteral("inner"), 42, QString(), {100, 100, 200, 30}, box);
    // The field before the box has the captions before it for itself.
    EXPECT_EQ(nameOfElement(*inner), QString());
    auto name = service.add(QStringLiteral("n"), 41, QStringLiteral("名前:"), {10, 100, 80, 20},
                            form);
    // A caption of its own just before the box.
    form->children.removeAll(name);
    form->children.insert(form->children.indexOf(box), name);
    EXPECT_EQ(nameOfElement(*inner), QStringLiteral("名前"));
}

TEST_F(Naming, TheDeepestElementWithARoleOfItsOwnIsWhatWasClicked) {
    auto button =
        service.add(QStringLiteral("ok"), 43, QStringLiteral("OK"), {300, 250, 80, 30}, frame);
    auto inside = service.add(QStringLiteral("in"), 10, QString(), {300, 250, 80, 30}, button);
    EXPECT_EQ(meaningfulElement(inside)->key(), QStringLiteral("ok"));
    // Blank space of the form: the window was clicked.
    EXPECT_EQ(meaningfulElement(form)->key(), QStringLiteral("frame"));
    // A named group stands for itself.
    form->elementName = QStringLiteral("詳細");
    EXPECT_EQ(meaningfulElement(form)->key(), QStringLiteral("form"));
}

TEST_F(Naming, NameElementAtFillsTheSentenceFieldsAndTheWindowTitle) {
    service.add(QStringLiteral("hidden"), 41, QStringLiteral("隠れ"), {10, 10, 80, 20}, form)
        ->stateBits = state::Invisible;
    NamedElement at = nameElementAt(service, desktop, {150, 15});
    ASSERT_TRUE(at.found);
    EXPECT_EQ(at.key, QStringLiteral("combo"));
    EXPECT_EQ(at.info.name, QStringLiteral("ファイル形式(F)"));
    EXPECT_EQ(at.info.roleText, QStringLiteral("コンボボックス"));
    EXPECT_EQ(at.info.windowTitle, QStringLiteral("設定"));
    EXPECT_EQ(at.info.left, 100);
    // Nothing there: no element, but the window is still known.
    at = nameElementAt(service, desktop, {390, 290});
    EXPECT_TRUE(at.found); // the frame itself
    EXPECT_EQ(at.key, QStringLiteral("frame"));
    at = nameElementAt(service, desktop, {600, 600});
    EXPECT_FALSE(at.found);
    EXPECT_EQ(at.info.windowTitle, QString());
}

TEST_F(Naming, ControlsOfBrowsersAndMenuBarsReadAsAWriterSeesThem) {
    // A web page's label element holds its text deeper down; the field is
    // named after it, colon and all, by the browser.
    auto label = service.add(QStringLiteral("lbl"), 41, QString(), {10, 250, 40, 20}, form);
    auto memo = service.add(QStringLiteral("memo"), 42, QStringLiteral("備考:"), {60, 250, 200, 60},
                            form);
    memo->labels << label;
    EXPECT_EQ(nameOfElement(*memo), QStringLiteral("備考"));
    // The text of a link: the link was clicked.
    auto link = service.add(QStringLiteral("a"), 30, QStringLiteral("詳しい説明"), {10, 320, 80, 20},
                            form);
    auto text = service.add(QStringLiteral("t"), 41, QStringLiteral("詳しい説明"), {10, 320, 80, 20},
                            link);
    EXPECT_EQ(meaningfulElement(text)->key(), QStringLiteral("a"));
    // A menu bar's entry opens a menu, whatever role its toolkit gives it.
    auto bar = service.add(QStringLiteral("bar"), 2, QString(), {0, 0, 400, 20}, frame);
    auto file = service.add(QStringLiteral("file"), 12, QStringLiteral("File"), {0, 0, 40, 20}, bar);
    ElementInfo info;
    describeElement(info, *file);
    EXPECT_EQ(info.roleText, QStringLiteral("メニュー"));
    // A nameless menu bar adds no parent part.
    EXPECT_EQ(info.parentName, QStringLiteral("File"));
    EXPECT_EQ(info.parentRoleText, QStringLiteral("ウィンドウ"));
}
