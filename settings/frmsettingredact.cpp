// The frame "個人情報の塗りつぶし" on the capture page of the settings dialog.
#include "settings/frmsetting.h"

#include "capture/drawing.h"
#include "redact/patterns.h"
#include "settings/settingpickers.h"
#include "settings/settingwidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace klavoro {
namespace {
const char* const kKindNames[4] = {"kMail", "kPhone", "kCard", "kNumber"};
const char* const kKindTexts[4] = {"メールアドレス", "電話番号", "クレジットカード番号",
                                   "個人番号（マイナンバー）"};
const int kKindBits[4] = {redactkind::Mail, redactkind::Phone, redactkind::Card,
                          redactkind::IndividualNumber};
} // namespace

QWidget* frmSetting::buildRedactFrame(QWidget* page) {
    frRedact = new QGroupBox(QStringLiteral("個人情報の塗りつぶし"), page);
    frRedact->setObjectName(QStringLiteral("frRedact"));
    auto* layout = new QGridLayout(frRedact);
    chkRedact = checkBox(frRedact, "chkRedact", QStringLiteral("画像を保存する前に塗りつぶす"),
                         QStringLiteral("パスワード欄と下の項目に当たる文字を、"
                                        "元に戻せない塗りつぶしで隠します"));
    layout->addWidget(chkRedact, 0, 0, 1, 2);
    for (int i = 0; i < 4; ++i) {
        chkRedactKind[size_t(i)] =
            checkBox(frRedact, "", QString::fromUtf8(kKindTexts[i]), QString());
        chkRedactKind[size_t(i)]->setObjectName(QStringLiteral("chkRedact_") +
                                                QString::fromLatin1(kKindNames[i]));
        layout->addWidget(chkRedactKind[size_t(i)], 1 + i / 2, i % 2);
    }
    cmdRedactColor = new QPushButton(QStringLiteral("塗りつぶしの色"), frRedact);
    cmdRedactColor->setObjectName(QStringLiteral("cmdRedactColor"));
    cmdRedactColor->setAutoDefault(false);
    layout->addWidget(cmdRedactColor, 3, 0);
    layout->addWidget(
        new QLabel(QStringLiteral("塗りつぶす語句（1行に1つ、/…/ は正規表現）"), frRedact), 4, 0, 1,
        2);
    txtRedactWords = new QPlainTextEdit(frRedact);
    txtRedactWords->setObjectName(QStringLiteral("txtRedactWords"));
    txtRedactWords->setTabChangesFocus(true);
    txtRedactWords->setFixedHeight(txtRedactWords->fontMetrics().lineSpacing() * 3 + 12);
    layout->addWidget(txtRedactWords, 5, 0, 1, 2);
    connect(cmdRedactColor, &QPushButton::clicked, this, [this] {
        const QColor chosen = m_pickers->chooseColour(this, colourFromBgr(m_redactColour));
        if (chosen.isValid()) setRedactColour(bgrOf(chosen));
    });
    return frRedact;
}

void frmSetting::fillRedactFrame(const SettingsForm& f) {
    chkRedact->setChecked(f.redact);
    for (size_t i = 0; i < 4; ++i)
        chkRedactKind[i]->setChecked((f.redactPatterns & kKindBits[i]) != 0);
    setRedactColour(f.redactColor);
    txtRedactWords->setPlainText(f.redactWords);
}

void frmSetting::readRedactFrame(SettingsForm& f) const {
    f.redact = chkRedact->isChecked();
    // Bits no box shows are kept as they were loaded.
    int bits = m_edit.opened().redactPatterns & ~redactkind::All;
    for (size_t i = 0; i < 4; ++i)
        if (chkRedactKind[i]->isChecked()) bits |= kKindBits[i];
    f.redactPatterns = bits;
    f.redactColor = m_redactColour;
    f.redactWords = txtRedactWords->toPlainText();
}

void frmSetting::setRedactColour(qint32 bgr) {
    m_redactColour = bgr;
    setBackColour(cmdRedactColor, bgr);
}

} // namespace klavoro
