// Pages "操作概要" and "キーボード" of the settings dialog.
#include "settings/frmsetting.h"
#include "settings/settingwidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace klavoro {
namespace {

QComboBox* listBox(QWidget* parent, const char* name, const QStringList& items,
                   const QString& tip = QString()) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tip);
    setItems(box, items);
    return box;
}

// The empty choice switches the feature off. A value not among `known`
// (there is no list of voices on this system) is offered as it is.
QStringList choices(const QString& value, const QStringList& known = {}) {
    QStringList list{QString()};
    for (const QString& k : known)
        if (!k.isEmpty() && !list.contains(k)) list << k;
    if (!list.contains(value)) list << value;
    return list;
}

// The hot-key boxes top to bottom; the box index is the setting index.
const int kHotKeyOrder[5] = {4, 3, 2, 1, 0};
const char* const kHotKeyActions[5] = {"キャプチャー一時停止", "手動キャプチャー",
                                       "範囲選択 開始/終了", "記録終了", "本体を前面/背面"};

} // namespace

void frmSetting::buildPlayPage(QWidget* page) {
    auto* grid = new QGridLayout(page);
    int row = 0;
    auto addRow = [&](const QString& label, QWidget* control) {
        grid->addWidget(new QLabel(label, page), row, 0);
        grid->addWidget(control, row++, 1);
    };
    cmbPlaySpan = listBox(page, "cmbPlaySpan",
                          {"0.3", "0.5", "0.7", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0",
                           "4.5", "5.0", "6.0", "7.0", "8.0", "9.0"},
                          QStringLiteral("コマ送り再生時の間隔（秒）"));
    addRow(QStringLiteral("再生間隔"), cmbPlaySpan);
    cmbSpeakName = listBox(page, "cmbSpeakName", {}, QStringLiteral("空白は読み上げ無し"));
    addRow(QStringLiteral("音声種別"), cmbSpeakName);
    QStringList speeds;
    for (int v = -10; v <= 10; ++v)
        speeds << QString::number(v);
    cmbSpeakSpeed = listBox(page, "cmbSpeakSpeed", speeds,
                            QStringLiteral("読み上げスピード　正：速い　負：遅い"));
    addRow(QStringLiteral("速度"), cmbSpeakSpeed);
    chkSpeakPhraseBracket =
        checkBox(page, "chkSpeakPhraseBracket", QStringLiteral("括弧で区切り読み"),
                 QStringLiteral("( )などの括弧で少し区切って読上げる"));
    grid->addWidget(chkSpeakPhraseBracket, row++, 0, 1, 2);

    auto* greeting = new QGroupBox(QStringLiteral("挨拶"), page);
    auto* greetGrid = new QGridLayout(greeting);
    txtSpeakStartMsg = new QLineEdit(greeting);
    txtSpeakStartMsg->setObjectName(QStringLiteral("txtSpeakStartMsg"));
    txtSpeakEndMsg = new QLineEdit(greeting);
    txtSpeakEndMsg->setObjectName(QStringLiteral("txtSpeakEndMsg"));
    greetGrid->addWidget(new QLabel(QStringLiteral("開始時"), greeting), 0, 0);
    greetGrid->addWidget(txtSpeakStartMsg, 0, 1);
    greetGrid->addWidget(new QLabel(QStringLiteral("終了時"), greeting), 1, 0);
    greetGrid->addWidget(txtSpeakEndMsg, 1, 1);
    grid->addWidget(greeting, row++, 0, 1, 2);

    cmbAnimeChar = listBox(page, "cmbAnimeChar", {},
                           QStringLiteral("アニメーションキャラクタ　空白はアニメーション無し"));
    addRow(QStringLiteral("アニメーション"), cmbAnimeChar);
    cmbAnimeFont = listBox(page, "cmbAnimeFont", QFontDatabase::families());
    addRow(QStringLiteral("フォント"), cmbAnimeFont);
    cmbAnimeFontSize = listBox(page, "cmbAnimeFontSize",
                               {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24",
                                "26", "28", "36", "48", "72"});
    addRow(QStringLiteral("フォントサイズ"), cmbAnimeFontSize);
    for (QComboBox* box :
         {cmbPlaySpan, cmbSpeakName, cmbSpeakSpeed, cmbAnimeChar, cmbAnimeFont, cmbAnimeFontSize})
        pickOnly(box);

    cmdShowFormat = new QPushButton(QStringLiteral("「操作説明」フォーマット設定"), page);
    cmdShowFormat->setObjectName(QStringLiteral("cmdShowFormat"));
    cmdShowFormat->setToolTip(QStringLiteral("リストに取得する操作説明の形式をカスタマイズ"));
    cmdShowFormat->setAutoDefault(false);
    cmdShowFormat->setEnabled(bool(m_hooks.showFormat));
    connect(cmdShowFormat, &QPushButton::clicked, this, &frmSetting::cmdShowFormat_Click);
    grid->addWidget(cmdShowFormat, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
}

void frmSetting::fillPlayPage(const SettingsForm& f) {
    showText(cmbPlaySpan, f.playSpan);
    setItems(cmbSpeakName, choices(f.playSpeak));
    showText(cmbSpeakName, f.playSpeak);
    showText(cmbSpeakSpeed, f.playSpeakSpeed);
    chkSpeakPhraseBracket->setChecked(f.playSpeakPhraseBracket);
    txtSpeakStartMsg->setText(f.playSpeakStartMsg);
    txtSpeakEndMsg->setText(f.playSpeakEndMsg);
    setItems(cmbAnimeChar, choices(f.animeChar, m_hooks.characterNames ? m_hooks.characterNames()
                                                                       : QStringList()));
    showText(cmbAnimeChar, f.animeChar);
    showText(cmbAnimeFont, f.balloonFont);
    showText(cmbAnimeFontSize, f.balloonFontsize);
}

void frmSetting::readPlayPage(SettingsForm& f) const {
    f.playSpan = cmbPlaySpan->currentText();
    f.playSpeak = cmbSpeakName->currentText();
    f.playSpeakSpeed = cmbSpeakSpeed->currentText();
    f.playSpeakPhraseBracket = chkSpeakPhraseBracket->isChecked();
    f.playSpeakStartMsg = txtSpeakStartMsg->text();
    f.playSpeakEndMsg = txtSpeakEndMsg->text();
    f.animeChar = cmbAnimeChar->currentText();
    f.balloonFont = cmbAnimeFont->currentText();
    f.balloonFontsize = cmbAnimeFontSize->currentText();
}

void frmSetting::cmdShowFormat_Click() {
    if (m_hooks.showFormat) m_hooks.showFormat(this);
}

void frmSetting::buildKeysPage(QWidget* page) {
    auto* grid = new QGridLayout(page);
    int row = 0;
    chkKeyRec = checkBox(page, "chkKeyRec", QStringLiteral("キーボード操作も記録する"));
    chkKeyRecChar = checkBox(page, "chkKeyRecChar", QStringLiteral("入力文字列の記録"),
                             QStringLiteral("入力する文字列を記録"));
    chkKeyCapture = checkBox(page, "chkKeyCapture", QStringLiteral("キーによるキャプチャー"),
                             QStringLiteral("制御キー（改行やTABなど）押下時にキャプチャーする"));
    grid->addWidget(chkKeyRec, row++, 0);
    grid->addWidget(chkKeyRecChar, row++, 0);
    grid->addWidget(chkKeyCapture, row++, 0);
    connect(chkKeyRec, &QCheckBox::toggled, chkKeyRecChar, &QWidget::setVisible);
    connect(chkKeyRec, &QCheckBox::toggled, chkKeyCapture, &QWidget::setVisible);

    auto* hotKeys = new QGroupBox(QStringLiteral("ホットキー"), page);
    auto* keyGrid = new QGridLayout(hotKeys);
    QStringList keys{QString()};
    for (char c = 'A'; c <= 'Z'; ++c)
        keys << QString(QChar(c));
    for (char c = '0'; c <= '9'; ++c)
        keys << QString(QChar(c));
    for (int r = 0; r < 5; ++r) {
        const int i = kHotKeyOrder[r];
        auto* fixed = new QLabel(QStringLiteral("Ｃｔｒｌ+Shift+"), hotKeys);
        fixed->setObjectName(QStringLiteral("lblHotKey1_%1").arg(i));
        auto* box = new QComboBox(hotKeys);
        box->setObjectName(QStringLiteral("cmbHotKey_%1").arg(i));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        setItems(box, keys);
        box->setValidator(new HotKeyValidator(box));
        auto* action = new QLabel(QString::fromUtf8(kHotKeyActions[i]), hotKeys);
        action->setObjectName(QStringLiteral("lblHotKey2_%1").arg(i));
        keyGrid->addWidget(fixed, r, 0);
        keyGrid->addWidget(box, r, 1);
        keyGrid->addWidget(action, r, 2);
        lblHotKey1[size_t(i)] = fixed;
        cmbHotKey[size_t(i)] = box;
        lblHotKey2[size_t(i)] = action;
        watchLeave(box);
    }
    keyGrid->setColumnStretch(2, 1);
    grid->addWidget(hotKeys, row++, 0);
    chkMCapMouse = checkBox(page, "chkMCapMouse", QStringLiteral("マウスカーソル描画"));
    grid->addWidget(chkMCapMouse, row++, 0);
    grid->setRowStretch(row, 1);
}

void frmSetting::fillKeysPage(const SettingsForm& f) {
    chkKeyRec->setChecked(f.keyRecord);
    chkKeyRecChar->setVisible(f.keyRecord);
    chkKeyCapture->setVisible(f.keyRecord);
    chkKeyRecChar->setChecked(f.keyRecordChar);
    chkKeyCapture->setChecked(f.keyCapture);
    for (size_t i = 0; i < 5; ++i)
        showText(cmbHotKey[i], f.hotkey[i]);
    chkMCapMouse->setChecked(f.manualCaptureMouse);
}

void frmSetting::readKeysPage(SettingsForm& f) const {
    f.keyRecord = chkKeyRec->isChecked();
    f.keyRecordChar = chkKeyRecChar->isChecked();
    f.keyCapture = chkKeyCapture->isChecked();
    f.hotkey = hotKeyTexts();
    f.manualCaptureMouse = chkMCapMouse->isChecked();
}

} // namespace klavoro
