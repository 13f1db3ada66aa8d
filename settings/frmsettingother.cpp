// Page "その他" of the settings dialog.
#include "settings/frmsetting.h"
#include "settings/settingwidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace klavoro {

void frmSetting::buildOtherPage(QWidget* page) {
    auto* grid = new QGridLayout(page);
    int row = 0;

    grid->addWidget(new QLabel(QStringLiteral("リストの表示形式"), page), row, 0);
    cmbHScrollBar = new QComboBox(page);
    cmbHScrollBar->setObjectName(QStringLiteral("cmbHScrollBar"));
    setItems(cmbHScrollBar, {QStringLiteral("簡素表示"), QStringLiteral("通番を表示"),
                             QStringLiteral("ファイル名を表示")});
    grid->addWidget(cmbHScrollBar, row++, 1);
    chkDispMenu = checkBox(page, "chkDispMenu", QStringLiteral("メニュー表示"),
                           QStringLiteral("メニューを表示します"));
    grid->addWidget(chkDispMenu, row++, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("テキスト倍率"), page), row, 0);
    cmbMag = new QComboBox(page);
    cmbMag->setObjectName(QStringLiteral("cmbMag"));
    cmbMag->setToolTip(QStringLiteral("テキスト、アプリ、その他の項目の倍率"));
    setItems(cmbMag, {"100%", "125%", "150%", "175%", "200%", "225%", "250%", "275%", "300%"});
    grid->addWidget(cmbMag, row++, 1);

    chkNoProgress = checkBox(page, "chkNoProgress", QStringLiteral("経過メッセージ非表示"),
                             QStringLiteral("軽度の注意や確認メッセージを表示しない"));
    chkNoConfirm = checkBox(page, "chkNoConfirm", QStringLiteral("確認メッセージ非表示"),
                            QStringLiteral("軽度の注意や確認メッセージを表示しない"));
    chkConfirmAppend =
        checkBox(page, "chkConfirmAppend", QStringLiteral("追記確認メッセージ"),
                 QStringLiteral("オフ：キャプチャー時にメッセージを表示せず、リストに追加する"));
    chkAutoStart = checkBox(page, "chkAutoStart", QStringLiteral("自動開始"),
                            QStringLiteral("起動時に自動開始します。"));
    chkAutoRestart = checkBox(page, "chkAutoRestart", QStringLiteral("自動再開始"),
                              QStringLiteral("キャプチャー処理が停止した場合に自動で再開始"));
    chkIconBlink = checkBox(page, "chkIconBlink", QStringLiteral("アイコンブリンク"),
                            QStringLiteral("キャプチャー時、トレイアイコンブリンク"));
    chkPopupCounter = checkBox(page, "chkPopupCounter", QStringLiteral("ポップアップカウンタ"));
    QCheckBox* const column[] = {chkNoProgress,  chkNoConfirm, chkConfirmAppend, chkAutoStart,
                                 chkAutoRestart, chkIconBlink, chkPopupCounter};
    for (size_t i = 0; i < std::size(column); ++i)
        grid->addWidget(column[i], row + int(i / 2), int(i % 2));
    row += int((std::size(column) + 1) / 2);

    auto* start = new QGroupBox(QStringLiteral("開始時"), page);
    start->setObjectName(QStringLiteral("frState"));
    auto* startRow = new QHBoxLayout(start);
    chkState[0] = checkBox(start, "chkState_0", QStringLiteral("最小化"));
    chkState[1] = checkBox(start, "chkState_1", QStringLiteral("トレイ収納"));
    for (int i = 0; i < 2; ++i) {
        startRow->addWidget(chkState[size_t(i)]);
        // Minimised and in the tray at once cannot both hold.
        connect(chkState[size_t(i)], &QCheckBox::clicked, this, [this, i](bool on) {
            if (on) chkState[size_t(1 - i)]->setChecked(false);
        });
    }
    grid->addWidget(start, row++, 0, 1, 2);

    chkDispTop = checkBox(page, "chkDispTop", QStringLiteral("最前面表示"),
                          QStringLiteral("常に最前面に表示する"));
    grid->addWidget(chkDispTop, row++, 0, 1, 2);
    auto* transRow = new QHBoxLayout;
    const QString transTip = QStringLiteral("透明度： 0(不透明)～70(半透明）");
    auto* transLabel = new QLabel(QStringLiteral("透明度"), page);
    transLabel->setToolTip(transTip);
    cmbTransParent = new QComboBox(page);
    cmbTransParent->setObjectName(QStringLiteral("cmbTransParent"));
    cmbTransParent->setToolTip(transTip);
    QStringList levels;
    for (int v = 0; v <= 70; v += 5)
        levels << QString::number(v);
    setItems(cmbTransParent, levels);
    pickOnly(cmbTransParent);
    transRow->addWidget(transLabel);
    transRow->addWidget(cmbTransParent);
    transRow->addWidget(new QLabel(QStringLiteral("%"), page));
    transRow->addStretch(1);
    grid->addLayout(transRow, row++, 0, 1, 2);

    cmdFileCheck = new QPushButton(QStringLiteral("ファイル整合チェック"), page);
    cmdFileCheck->setObjectName(QStringLiteral("cmdFileCheck"));
    cmdFileCheck->setToolTip(QStringLiteral("リストとファイルの整合性をチェック"));
    cmdFileCheck->setAutoDefault(false);
    cmdFileCheck->setEnabled(bool(m_hooks.showCheckFile));
    connect(cmdFileCheck, &QPushButton::clicked, this, &frmSetting::cmdFileCheck_Click);
    grid->addWidget(cmdFileCheck, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
}

void frmSetting::fillOtherPage(const SettingsForm& f) {
    cmbHScrollBar->setCurrentIndex(f.scrollbar >= 0 && f.scrollbar < 3 ? f.scrollbar : -1);
    chkDispMenu->setChecked(f.dispMenu);
    showText(cmbMag, f.textMag);
    chkNoProgress->setChecked(f.noProgress);
    chkNoConfirm->setChecked(f.noConfirm);
    chkConfirmAppend->setChecked(f.confirmAppend);
    chkAutoStart->setChecked(f.autoStart);
    chkAutoRestart->setChecked(f.autoRestart);
    chkIconBlink->setChecked(f.iconBlink);
    chkPopupCounter->setChecked(f.popupCounter);
    chkState[0]->setChecked(f.minimize);
    chkState[1]->setChecked(f.tasktray);
    chkDispTop->setChecked(f.dispTop);
    showText(cmbTransParent, f.transparent);
}

void frmSetting::readOtherPage(SettingsForm& f) const {
    const int list = cmbHScrollBar->currentIndex();
    f.scrollbar = list >= 0 ? list : m_edit.opened().scrollbar;
    f.dispMenu = chkDispMenu->isChecked();
    f.textMag = cmbMag->currentText();
    f.noProgress = chkNoProgress->isChecked();
    f.noConfirm = chkNoConfirm->isChecked();
    f.confirmAppend = chkConfirmAppend->isChecked();
    f.autoStart = chkAutoStart->isChecked();
    f.autoRestart = chkAutoRestart->isChecked();
    f.iconBlink = chkIconBlink->isChecked();
    f.popupCounter = chkPopupCounter->isChecked();
    f.minimize = chkState[0]->isChecked();
    f.tasktray = chkState[1]->isChecked();
    f.dispTop = chkDispTop->isChecked();
    f.transparent = cmbTransParent->currentText();
}

void frmSetting::cmdFileCheck_Click() {
    if (!m_hooks.showCheckFile) return;
    cmdFileCheck->setEnabled(false);
    m_hooks.showCheckFile(this);
    cmdFileCheck->setEnabled(true);
}

} // namespace klavoro
