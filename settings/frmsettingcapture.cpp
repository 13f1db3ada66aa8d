// Page "キャプチャー" of the settings dialog.
#include "settings/frmsetting.h"

#include "capture/cursorfile.h"
#include "capture/drawing.h"
#include "settings/settingpickers.h"
#include "settings/settingwidgets.h"
#include "store/dialogs.h"
#include "store/programfolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace klavoro {
namespace {

const char* const kTargets[5] = {"矩形", "ウィンドウ", "デスクトップ", "トップウィンドウ",
                                 "アプリ"};
const char* const kRectSides[4] = {"左", "上", "右", "下"};
const char* const kDelays[3] = {"遅延：矩形領域", "遅延：ウィンドウ", "遅延：デスクトップ"};
const QString kNoRectTip =
    QStringLiteral("囲み枠の無い原画像と手順リストを NO_RECT フォルダにも保存します");

QStringList numbers(int from, int to, int step) {
    QStringList list;
    for (int v = from; v <= to; v += step)
        list << QString::number(v);
    return list;
}

QComboBox* comboBox(QWidget* parent, const QString& name, const QStringList& items, bool editable) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    setItems(box, items);
    return box;
}

QLineEdit* numberBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(9);
    box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    return box;
}

} // namespace

void frmSetting::buildCapturePage(QWidget* page) {
    auto* grid = new QGridLayout(page);
    int row = 0;

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(new QLabel(QStringLiteral("画像エディタのパス"), page));
    txtEdit = new QLineEdit(page);
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    editRow->addWidget(txtEdit, 1);
    cmdEdit = new QPushButton(QStringLiteral("..."), page);
    cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    cmdEdit->setToolTip(QStringLiteral("画像エディタを選択"));
    cmdEdit->setAutoDefault(false);
    editRow->addWidget(cmdEdit);
    grid->addLayout(editRow, row++, 0, 1, 2);
    connect(txtEdit, &QLineEdit::textChanged, this, &frmSetting::showEditorColour);
    connect(cmdEdit, &QPushButton::clicked, this, &frmSetting::cmdEdit_Click);

    // Target and the range panel that belongs to it.
    frTarget = new QGroupBox(QStringLiteral("対象"), page);
    frTarget->setObjectName(QStringLiteral("frTarget"));
    auto* targetLayout = new QVBoxLayout(frTarget);
    for (int i = 0; i < 5; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(kTargets[i]), frTarget);
        option->setObjectName(QStringLiteral("OptTarget_%1").arg(i));
        connect(option, &QRadioButton::toggled, this, &frmSetting::showTargetPanel);
        OptTarget[size_t(i)] = option;
        targetLayout->addWidget(option);
    }
    auto* panels = new QVBoxLayout;
    frRect = new QGroupBox(QStringLiteral("範囲"), page);
    frRect->setObjectName(QStringLiteral("frRect"));
    auto* rectLayout = new QGridLayout(frRect);
    const QStringList rectItems = numbers(-1000, 1000, 10);
    for (int i = 0; i < 4; ++i) {
        cmbRect[size_t(i)] =
            comboBox(frRect, QStringLiteral("cmbRect_%1").arg(i), rectItems, false);
        rectLayout->addWidget(new QLabel(QString::fromUtf8(kRectSides[i]), frRect), i / 2,
                              (i % 2) * 2);
        rectLayout->addWidget(cmbRect[size_t(i)], i / 2, (i % 2) * 2 + 1);
        pickOnly(cmbRect[size_t(i)]);
        watchLeave(cmbRect[size_t(i)]);
    }
    frDesktop = new QWidget(page);
    frDesktop->setObjectName(QStringLiteral("frDesktop"));
    auto* desktopLayout = new QVBoxLayout(frDesktop);
    lblDesktop = new QLabel(frDesktop);
    lblDesktop->setObjectName(QStringLiteral("lblDesktop"));
    lblDesktop->setText(QStringLiteral("画面転換が少し遅くなります。"));
    chkPlainScale = checkBox(frDesktop, "chkPlainScale", QStringLiteral("実寸サイズでキャプチャー"),
                             QStringLiteral("オフ：表示画面サイズに縮小"));
    connect(chkPlainScale, &QCheckBox::toggled, this, &frmSetting::showTargetPanel);
    desktopLayout->addWidget(lblDesktop);
    desktopLayout->addWidget(chkPlainScale);
    frMaxSize = new QGroupBox(QStringLiteral("最大サイズ"), page);
    frMaxSize->setObjectName(QStringLiteral("frMaxSize"));
    auto* sizeLayout = new QGridLayout(frMaxSize);
    const QString sides[2] = {QStringLiteral("幅（ピクセル）"), QStringLiteral("高さ（ピクセル）")};
    for (int i = 0; i < 2; ++i) {
        txtMaxSize[size_t(i)] = numberBox(frMaxSize, QStringLiteral("txtMaxSize_%1").arg(i));
        sizeLayout->addWidget(new QLabel(sides[i], frMaxSize), i, 0);
        sizeLayout->addWidget(txtMaxSize[size_t(i)], i, 1);
        digitsOnly(txtMaxSize[size_t(i)]);
        watchLeave(txtMaxSize[size_t(i)]);
    }
    panels->addWidget(frRect);
    panels->addWidget(frDesktop);
    panels->addWidget(frMaxSize);
    panels->addStretch(1);
    grid->addWidget(frTarget, row, 0);
    grid->addLayout(panels, row++, 1);

    // The click marker.
    chkRectPoint = checkBox(page, "chkRectPoint", QStringLiteral("ポイント位置を囲む"),
                            QStringLiteral("対象パーツを角丸四角で囲む"));
    grid->addWidget(chkRectPoint, row++, 0, 1, 2);
    frRectPoint = new QWidget(page);
    frRectPoint->setObjectName(QStringLiteral("frRectPoint"));
    auto* markLayout = new QGridLayout(frRectPoint);
    ChkRectPointNoneTogether = checkBox(frRectPoint, "ChkRectPointNoneTogether",
                                        QStringLiteral("原画像も保存する"), kNoRectTip);
    cmdRectPointColor = new QPushButton(QStringLiteral("画像枠の色"), frRectPoint);
    cmdRectPointColor->setObjectName(QStringLiteral("cmdRectPointColor"));
    cmdRectPointColor->setAutoDefault(false);
    cmbRectPointWidth =
        comboBox(frRectPoint, QStringLiteral("cmbRectPointWidth"), numbers(1, 10, 1), true);
    cmbRectPointWidth->setValidator(new QIntValidator(0, 99, cmbRectPointWidth));
    cmbRectPointRound =
        comboBox(frRectPoint, QStringLiteral("cmbRectPointRound"), numbers(0, 30, 1), true);
    cmbRectPointRound->setValidator(new QIntValidator(0, 99, cmbRectPointRound));
    markLayout->addWidget(ChkRectPointNoneTogether, 0, 0, 1, 2);
    markLayout->addWidget(cmdRectPointColor, 1, 0, 1, 2);
    markLayout->addWidget(new QLabel(QStringLiteral("囲み枠線の太さ"), frRectPoint), 2, 0);
    markLayout->addWidget(cmbRectPointWidth, 2, 1);
    markLayout->addWidget(new QLabel(QStringLiteral("囲み枠線の角の丸み"), frRectPoint), 3, 0);
    markLayout->addWidget(cmbRectPointRound, 3, 1);
    grid->addWidget(frRectPoint, row++, 0, 1, 2);
    connect(chkRectPoint, &QCheckBox::toggled, frRectPoint, &QWidget::setVisible);
    connect(chkRectPoint, &QCheckBox::clicked, this, [this](bool on) {
        if (!on) ChkRectPointNoneTogether->setChecked(false);
    });
    // Only a tick by the user explains itself; filling the page does not.
    connect(ChkRectPointNoneTogether, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            m_dialogs->message(ChkRectPointNoneTogether->toolTip(), QStringLiteral("クラヴォロ"));
    });
    connect(cmdRectPointColor, &QPushButton::clicked, this, &frmSetting::cmdRectPointColor_Click);

    chkCaptureTrans =
        checkBox(page, "chkCaptureTrans", QStringLiteral("半透明ウィンドウもキャプチャー"),
                 QStringLiteral("オンの時、本ツールもキャプチャーされるので注意"));
    chkCaptureSound =
        checkBox(page, "chkCaptureSound", QStringLiteral("サウンド"),
                 QStringLiteral(
                     "開始/キャプチャー/停止時にサウンド演奏、サウンドはConf.txtのChimeで変更可"));
    chkCopyToClipboard =
        checkBox(page, "chkCopyToClipboard", QStringLiteral("クリップボードにもコピー"),
                 QStringLiteral("オンの時は通常のCtrl+Cでの文字コピーが不可になるので注意"));
    grid->addWidget(chkCaptureTrans, row++, 0, 1, 2);
    grid->addWidget(chkCaptureSound, row, 0);
    grid->addWidget(chkCopyToClipboard, row++, 1);

    // The pointer in captures.
    chkMouse = checkBox(page, "chkMouse", QStringLiteral("マウスカーソルを描画"),
                        QStringLiteral("キャプチャー画像にマウスカーソルを描画します"));
    grid->addWidget(chkMouse, row++, 0, 1, 2);
    frMouse = new QWidget(page);
    frMouse->setObjectName(QStringLiteral("frMouse"));
    auto* mouseLayout = new QHBoxLayout(frMouse);
    OptMouse[1] = new QRadioButton(QStringLiteral("固定"), frMouse);
    OptMouse[1]->setToolTip(QStringLiteral("固定のマウスカーソルイメージを描画します"));
    OptMouse[0] = new QRadioButton(QStringLiteral("実イメージ"), frMouse);
    OptMouse[0]->setToolTip(QStringLiteral("実際のイメージを撮りますが、画面転換の遅れやダブルクリ"
                                           "ック時の動作が効かなくなる問題が生じます。"));
    for (int i = 0; i < 2; ++i) {
        OptMouse[size_t(i)]->setObjectName(QStringLiteral("OptMouse_%1").arg(i));
        connect(OptMouse[size_t(i)], &QRadioButton::toggled, this, &frmSetting::showMouseFrames);
    }
    frMouseFile = new QWidget(frMouse);
    frMouseFile->setObjectName(QStringLiteral("frMouseFile"));
    auto* fileLayout = new QHBoxLayout(frMouseFile);
    cmdMouse = new QPushButton(QStringLiteral("..."), frMouseFile);
    cmdMouse->setObjectName(QStringLiteral("cmdMouse"));
    cmdMouse->setToolTip(QStringLiteral("マウスカーソルを選択"));
    cmdMouse->setAutoDefault(false);
    picMouse = new QLabel(frMouseFile);
    picMouse->setObjectName(QStringLiteral("picMouse"));
    picMouse->setFixedSize(36, 36);
    picMouse->setAlignment(Qt::AlignCenter);
    picMouse->setFrameShape(QFrame::Panel);
    picMouse->setFrameShadow(QFrame::Sunken);
    lblMouse = new QLabel(frMouseFile);
    lblMouse->setObjectName(QStringLiteral("lblMouse"));
    fileLayout->addWidget(cmdMouse);
    fileLayout->addWidget(picMouse);
    fileLayout->addWidget(lblMouse, 1);
    mouseLayout->addWidget(OptMouse[1]);
    mouseLayout->addWidget(OptMouse[0]);
    mouseLayout->addWidget(frMouseFile, 1);
    grid->addWidget(frMouse, row++, 0, 1, 2);
    connect(chkMouse, &QCheckBox::toggled, this, &frmSetting::showMouseFrames);
    connect(cmdMouse, &QPushButton::clicked, this, &frmSetting::cmdMouse_Click);

    // Rarely needed settings behind a label without a caption.
    frSecret = new QWidget(page);
    frSecret->setObjectName(QStringLiteral("frSecret"));
    auto* secretLayout = new QGridLayout(frSecret);
    for (int i = 0; i < 3; ++i) {
        cmbDelay[size_t(i)] = comboBox(frSecret, QStringLiteral("cmbDelay_%1").arg(i),
                                       {"0", "50", "100", "150", "200", "300", "400", "500", "600",
                                        "700", "800", "1000", "1500", "2000"},
                                       false);
        secretLayout->addWidget(new QLabel(QString::fromUtf8(kDelays[i]), frSecret), i, 0);
        secretLayout->addWidget(cmbDelay[size_t(i)], i, 1);
        pickOnly(cmbDelay[size_t(i)]);
    }
    chkReduce = checkBox(frSecret, "chkReduce", QStringLiteral("縮小表示"),
                         QStringLiteral("メイン画面には縮小イメージを表示"));
    secretLayout->addWidget(chkReduce, 3, 0, 1, 2);
    frSecret->hide();
    lblSecret = new QLabel(page);
    lblSecret->setObjectName(QStringLiteral("lblSecret"));
    lblSecret->setFixedSize(12, 12);
    lblSecret->installEventFilter(this);
    grid->addWidget(buildRedactFrame(page), row++, 0, 1, 2);
    grid->addWidget(frSecret, row++, 0, 1, 2);
    grid->addWidget(lblSecret, row++, 1, Qt::AlignRight | Qt::AlignBottom);
    grid->setRowStretch(row, 1);
}

void frmSetting::fillCapturePage(const SettingsForm& f) {
    txtEdit->setText(f.editorPath);
    showEditorColour();
    if (f.target >= 0 && f.target < 5) OptTarget[size_t(f.target)]->setChecked(true);
    chkPlainScale->setChecked(f.plainScale);
    showTargetPanel();
    for (size_t i = 0; i < 2; ++i)
        txtMaxSize[i]->setText(f.maxSize[i]);
    for (size_t i = 0; i < 4; ++i)
        showText(cmbRect[i], f.rect[i]);
    ChkRectPointNoneTogether->setChecked(f.noRectFile);
    chkRectPoint->setChecked(f.rectPoint);
    frRectPoint->setVisible(f.rectPoint);
    setRectPointColour(f.rectPointColor);
    showText(cmbRectPointWidth, f.rectPointWidth);
    showText(cmbRectPointRound, f.rectPointRound);
    chkCaptureTrans->setChecked(f.captureTrans);
    chkCaptureSound->setChecked(f.captureSound);
    chkCopyToClipboard->setChecked(f.copyToClipboard);
    chkMouse->setChecked(f.mouseCursor);
    if (f.mouseOption == 0 || f.mouseOption == 1) OptMouse[size_t(f.mouseOption)]->setChecked(true);
    showMouseFile(f.mouseFile);
    showMouseFrames();
    for (size_t i = 0; i < 3; ++i)
        showText(cmbDelay[i], f.delay[i]);
    chkReduce->setChecked(f.reduce);
    fillRedactFrame(f);
}

void frmSetting::readCapturePage(SettingsForm& f) const {
    const SettingsForm& opened = m_edit.opened();
    f.editorPath = txtEdit->text();
    f.target = opened.target;
    for (int i = 0; i < 5; ++i)
        if (OptTarget[size_t(i)]->isChecked()) f.target = i;
    f.plainScale = chkPlainScale->isChecked();
    for (size_t i = 0; i < 2; ++i)
        f.maxSize[i] = txtMaxSize[i]->text();
    f.rect = rectTexts();
    f.rectPoint = chkRectPoint->isChecked();
    f.noRectFile = ChkRectPointNoneTogether->isChecked();
    f.rectPointColor = m_rectPointColour;
    f.rectPointWidth = cmbRectPointWidth->currentText();
    f.rectPointRound = cmbRectPointRound->currentText();
    f.captureTrans = chkCaptureTrans->isChecked();
    f.captureSound = chkCaptureSound->isChecked();
    f.copyToClipboard = chkCopyToClipboard->isChecked();
    f.mouseCursor = chkMouse->isChecked();
    f.mouseOption = OptMouse[1]->isChecked()   ? 1
                    : OptMouse[0]->isChecked() ? 0
                                               : opened.mouseOption;
    f.mouseFile = lblMouse->text();
    for (size_t i = 0; i < 3; ++i)
        f.delay[i] = cmbDelay[i]->currentText();
    f.reduce = chkReduce->isChecked();
    readRedactFrame(f);
}

void frmSetting::showTargetPanel() {
    int target = -1;
    for (int i = 0; i < 5; ++i)
        if (OptTarget[size_t(i)]->isChecked()) target = i;
    frRect->setVisible(target == 0);
    frDesktop->setVisible(target == 2);
    frMaxSize->setVisible(target == 2 ? !chkPlainScale->isChecked() : target != 0);
}

void frmSetting::showMouseFrames() {
    frMouse->setVisible(chkMouse->isChecked());
    frMouseFile->setVisible(OptMouse[1]->isChecked());
}

void frmSetting::showMouseFile(const QString& name) {
    lblMouse->setText(name);
    const CursorFile cursor = loadCursorFile(cursorFilePath(name));
    picMouse->setPixmap(cursor.image.isNull() ? QPixmap() : QPixmap::fromImage(cursor.image));
}

void frmSetting::showEditorColour() {
    QPalette p = txtEdit->palette();
    p.setColor(QPalette::Text, isExecutableFile(txtEdit->text()) ? Qt::black : Qt::red);
    txtEdit->setPalette(p);
}

void frmSetting::setRectPointColour(qint32 bgr) {
    m_rectPointColour = bgr;
    setBackColour(cmdRectPointColor, bgr);
}

void frmSetting::cmdEdit_Click() {
    const QString chosen = m_pickers->chooseProgram(this, txtEdit->text());
    if (!chosen.isEmpty()) txtEdit->setText(editorPathText(chosen));
}

void frmSetting::cmdMouse_Click() {
    const QString chosen =
        m_pickers->chooseCursor(this, shippedFilesFolder() + QStringLiteral("cursors"));
    if (chosen.isEmpty()) return;
    QString name;
    if (!mouseFileOf(chosen, &name)) {
        m_dialogs->message(QStringLiteral("マウスカーソルは、プログラムの cursors "
                                          "フォルダにあるファイルから選択して下さい。"),
                           QStringLiteral("マウスカーソル"));
        return;
    }
    showMouseFile(name);
}

void frmSetting::cmdRectPointColor_Click() {
    const QColor chosen = m_pickers->chooseColour(this, colourFromBgr(m_rectPointColour));
    if (chosen.isValid()) setRectPointColour(bgrOf(chosen));
}

} // namespace klavoro
