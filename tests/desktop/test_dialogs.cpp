// Message boxes and Qt's standard dialogs speak Japanese whatever the locale.
#include "app/compositionroot.h"
#include "ui/qtdialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

using namespace klavoro;

namespace {

// Reads the texts of the next message box and clicks the button captioned `click`.
struct BoxReader {
    QStringList buttons;
    QTimer poll;
    explicit BoxReader(const QString& click) {
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [this, click] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            poll.stop();
            for (QAbstractButton* b : box->buttons()) {
                buttons << b->text();
                if (b->text() == click) QTimer::singleShot(0, b, &QAbstractButton::click);
            }
        });
        poll.start();
    }
};

} // namespace

TEST(JapaneseDialogs, MessageBoxButtonsAreJapanese) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QtDialogs dialogs;
    {
        BoxReader reader(QStringLiteral("いいえ"));
        EXPECT_EQ(dialogs.askYesNoCancel(QStringLiteral("削除しますか？"), QStringLiteral("削除確認"),
                                         Dialogs::Answer::No),
                  Dialogs::Answer::No);
        reader.buttons.sort();
        QStringList expected{QStringLiteral("はい"), QStringLiteral("いいえ"),
                             QStringLiteral("キャンセル")};
        expected.sort();
        EXPECT_EQ(reader.buttons, expected);
    }
    {
        BoxReader reader(QStringLiteral("OK"));
        EXPECT_TRUE(dialogs.askOkCancel(QStringLiteral("よろしいですか？"), QStringLiteral("確認")));
        EXPECT_TRUE(reader.buttons.contains(QStringLiteral("キャンセル")));
    }
    QLocale::setDefault(QLocale::system());
}

TEST(JapaneseDialogs, QtsOwnFileDialogIsTranslated) {
    QTranslator* translator = installJapaneseTranslations(*qApp);
    ASSERT_NE(translator, nullptr) << "Debian's qt6-translations-l10n is needed";
    QFileDialog dialog(nullptr, QStringLiteral("保存"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList texts;
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        texts << b->text();
    for (QLabel* l : dialog.findChildren<QLabel*>())
        texts << l->text();
    QApplication::removeTranslator(translator);
    delete translator;
    EXPECT_TRUE(texts.contains(QStringLiteral("キャンセル"))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.join('|').contains(QStringLiteral("ファイル名"))) << texts.join('|').toStdString();
}
