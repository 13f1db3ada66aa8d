#include "ui/frmformat.h"
#include "store/dialogs.h"
#include "store/settings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

class RecordingDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        messages << text;
        titles << title;
    }
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
    QStringList messages, titles;
};

// Clicks the indicator: a stretched box's centre lies beyond its caption.
void clickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

struct FormatDialog {
    Settings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<frmFormat> form;
    void open() {
        form = std::make_unique<frmFormat>(settings, dialogs);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void select(int row) {
        QListWidget* list = form->lstReplace;
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    void pressDelete() {
        form->lstReplace->setFocus();
        QTest::keyClick(form->lstReplace, Qt::Key_Delete);
    }
};

} // namespace

TEST(FormatDialog, OkWithoutChangesStoresWhatWasLoaded) {
    FormatDialog d;
    d.settings.dspPhrase0 = 2; // not 1: the part is off, and stays 2
    d.settings.noShortcut = 5;
    d.settings.paragraph = 12; // outside the combo's 0-9, from an edited file
    d.settings.phraseKey0 = QStringLiteral("キーを押下します。");
    d.settings.noChar = QStringLiteral("◆\\");
    d.settings.noFormat = 1;
    d.settings.replaceStr = QStringLiteral("A\tB\u0001C\u0001D\t");
    const Settings before = d.settings;
    d.open();
    EXPECT_FALSE(d.form->chkDspPhrase[0]->isChecked());
    EXPECT_TRUE(d.form->chkNoShortcut->isChecked());
    EXPECT_EQ(d.form->cmbParagraph->currentText(), "12");
    EXPECT_FALSE(d.form->txtPhraseKey0->isEnabled());
    EXPECT_FALSE(d.form->txtPhraseKey1->isEnabled());
    EXPECT_EQ(d.form->txtPhraseKey0->text(), before.phraseKey0);
    EXPECT_EQ(d.form->lstReplace->count(), 3);
    QTest::mouseClick(d.form->cmdOk, Qt::LeftButton);
    EXPECT_EQ(d.form->result(), QDialog::Accepted);
    EXPECT_TRUE(d.settings == before);
}

TEST(FormatDialog, OkStoresTheControlsAndCancelDiscardsThem) {
    FormatDialog d;
    d.open();
    clickBox(d.form->chkDspPhrase[1]);
    d.form->txtPhrase5->setText(QStringLiteral("を"));
    d.form->txtBrackets[2]->setText(QStringLiteral("「」"));
    clickBox(d.form->chkAbbLeft);
    d.form->cmbNoFormat->setCurrentIndex(2);
    clickBox(d.form->chkNoPeriod);
    d.form->cmbParagraph->setCurrentIndex(7);
    Settings expected = d.settings;
    expected.dspPhrase1 = 0;
    expected.phrase5 = QStringLiteral("を");
    expected.brackets3 = QStringLiteral("「」");
    expected.abbLeft = 0;
    expected.noFormat = 2;
    expected.noPeriod = 1;
    expected.paragraph = 7;
    d.form->cmdOk_Click();
    EXPECT_EQ(d.settings.dspPhrase1, 0);
    EXPECT_EQ(d.settings.abbLeft, 0);
    EXPECT_EQ(d.settings.noPeriod, 1);
    EXPECT_TRUE(d.settings == expected);

    const Settings stored = d.settings;
    d.open();
    d.form->txtPhrase7->setText(QStringLiteral("する。"));
    d.form->txtReplaceFrom->setText("x");
    d.form->cmdAdd_Click();
    clickBox(d.form->chkNoShortcut);
    QTest::mouseClick(d.form->cmdCancel, Qt::LeftButton);
    EXPECT_EQ(d.form->result(), QDialog::Rejected);
    EXPECT_TRUE(d.settings == stored);
}

TEST(FormatDialog, PreviewFollowsBracketsSwitchesAndParts) {
    FormatDialog d;
    d.open();
    frmFormat& f = *d.form;
    EXPECT_EQ(f.lblPhrase[0]->text(), QStringLiteral("[アイコンの整列]"));
    EXPECT_EQ(f.lblPhrase[1]->text(), QStringLiteral("(ウィンドウ)"));
    EXPECT_EQ(f.lblPhrase[2]->text(), QStringLiteral("[サイズ]"));
    EXPECT_EQ(f.lblPhrase[3]->text(), QStringLiteral("(メニュー項目)"));
    EXPECT_EQ(f.lblVerb->text(), QStringLiteral("クリック"));
    f.txtBrackets[2]->selectAll();
    f.txtBrackets[2]->insert(QStringLiteral("「」")); // as the input method types it
    EXPECT_EQ(f.lblPhrase[2]->text(), QStringLiteral("「サイズ」"));
    f.txtBrackets[2]->setText("<");
    EXPECT_EQ(f.lblPhrase[2]->text(), QStringLiteral("<サイズ"));
    clickBox(f.chkNoShortcut);
    EXPECT_EQ(f.lblPhrase[0]->text(), QStringLiteral("[アイコンの整列(I)]"));
    EXPECT_EQ(f.lblPhrase[2]->text(), QStringLiteral("<サイズ(S)"));
    clickBox(f.chkAbbLeft);
    EXPECT_EQ(f.lblVerb->text(), QStringLiteral("左クリック"));
    EXPECT_TRUE(f.lblPhrase[3]->isEnabled());
    clickBox(f.chkDspPhrase[3]);
    EXPECT_FALSE(f.lblPhrase[3]->isEnabled());
}

TEST(FormatDialog, NumberFormatShowsItsOptions) {
    FormatDialog d;
    d.open();
    frmFormat& f = *d.form;
    EXPECT_EQ(f.cmbNoFormat->currentIndex(), 3);
    EXPECT_FALSE(f.txtNoChar->isVisible());
    EXPECT_TRUE(f.chkNoPeriod->isVisible());
    EXPECT_TRUE(f.chkNoWide->isVisible());
    f.cmbNoFormat->setCurrentIndex(0);
    EXPECT_TRUE(f.txtNoChar->isVisible());
    EXPECT_FALSE(f.chkNoPeriod->isVisible());
    EXPECT_FALSE(f.chkNoWide->isVisible());
    f.txtNoChar->clear();
    QTest::keyClicks(f.txtNoChar, "a\\b");
    EXPECT_EQ(f.txtNoChar->text(), "ab"); // the backslash is refused
    EXPECT_EQ(f.cmbParagraph->count(), 10);
}

TEST(FormatDialog, ReplacementListEditing) {
    FormatDialog d;
    d.open();
    frmFormat& f = *d.form;
    ASSERT_EQ(f.lstReplace->count(), 4); // the default list
    d.select(1);
    EXPECT_EQ(f.txtReplaceFrom->text(), QStringLiteral("コンテキスト"));
    EXPECT_EQ(f.txtReplaceTo->text(), QString());

    // Add with an empty replacement: the search text and a TAB.
    f.txtReplaceFrom->setText("OK");
    f.txtReplaceTo->clear();
    QTest::mouseClick(f.cmdAdd, Qt::LeftButton);
    EXPECT_EQ(f.replacementEntries().last(), "OK\t");
    EXPECT_EQ(f.lstReplace->currentRow(), 4);
    // Edit replaces the selected entry.
    d.select(0);
    f.txtReplaceTo->setText(QStringLiteral("窓"));
    QTest::mouseClick(f.cmdEdit, Qt::LeftButton);
    EXPECT_EQ(f.replacementEntries().first(), QStringLiteral("ウィンドウ\t窓"));
    // An empty search text adds nothing and says so.
    f.txtReplaceFrom->clear();
    QTest::mouseClick(f.cmdAdd, Qt::LeftButton);
    QTest::mouseClick(f.cmdEdit, Qt::LeftButton);
    EXPECT_EQ(d.dialogs.messages, QStringList(2, QStringLiteral("対象文言が空白です。")));
    EXPECT_EQ(d.dialogs.titles, QStringList(2, QStringLiteral("追加/置換不可")));
    EXPECT_EQ(f.lstReplace->count(), 5);
    EXPECT_TRUE(f.txtReplaceFrom->hasFocus());

    // Delete: the entry before is selected, the new first one after the first.
    d.select(2);
    d.pressDelete();
    EXPECT_EQ(f.lstReplace->count(), 4);
    EXPECT_EQ(f.lstReplace->currentRow(), 1);
    EXPECT_EQ(f.txtReplaceFrom->text(), QStringLiteral("コンテキスト"));
    d.select(0);
    d.pressDelete();
    EXPECT_EQ(f.lstReplace->currentRow(), 0);
    EXPECT_EQ(f.txtReplaceFrom->text(), QStringLiteral("コンテキスト"));
    while (f.lstReplace->count() > 0)
        d.pressDelete();
    EXPECT_EQ(f.lstReplace->currentRow(), -1);
    EXPECT_TRUE(f.txtReplaceFrom->text().isEmpty());
    EXPECT_TRUE(f.txtReplaceTo->text().isEmpty());
    f.cmdOk_Click();
    EXPECT_EQ(d.settings.replaceStr, QString());
}
