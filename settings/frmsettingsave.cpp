// Page "保存" of the settings dialog.
#include "settings/frmmycombobox.h"
#include "settings/frmsetting.h"
#include "settings/settingpickers.h"
#include "settings/settingwidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace klavoro {
namespace {

const QStringList kMaxCntCandidates = {"5",     "7",      "10",     "20",    "30",    "50",
                                       "70",    "100",    "150",    "200",   "300",   "500",
                                       "700",   "1,000",  "1,500",  "2,000", "3,000", "5,000",
                                       "7,000", "10,000", "12,000", "15,000"};

QLineEdit* digitBox(QWidget* parent, const QString& name, const QString& pattern) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(9);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), box));
    return box;
}

} // namespace

void frmSetting::buildSavePage(QWidget* page) {
    auto* grid = new QGridLayout(page);
    int row = 0;

    grid->addWidget(new QLabel(QStringLiteral("最大枚数"), page), row, 0);
    auto* countRow = new QHBoxLayout;
    countRow->setSpacing(0);
    // Commas stay where "#,###" put them; typing adds digits only.
    txtMaxCnt = digitBox(page, QStringLiteral("txtMaxCnt"), QStringLiteral("[0-9,]*"));
    txtMaxCnt->setMaxLength(12);
    cmdDropButton = new QPushButton(QStringLiteral("▼"), page);
    cmdDropButton->setObjectName(QStringLiteral("cmdDropButton"));
    cmdDropButton->setAutoDefault(false);
    cmdDropButton->setFixedWidth(24);
    countRow->addWidget(txtMaxCnt);
    countRow->addWidget(cmdDropButton);
    countRow->addStretch(1);
    grid->addLayout(countRow, row++, 1);
    digitsOnly(txtMaxCnt);
    watchLeave(txtMaxCnt);
    dropList = new frmMyComboBox(this);
    connect(cmdDropButton, &QPushButton::clicked, this, &frmSetting::cmdDropButton_Click);
    connect(dropList, &frmMyComboBox::picked, this, [this](const QString& text) {
        txtMaxCnt->setText(text);
        txtMaxCnt->setFocus();
    });

    grid->addWidget(new QLabel(QStringLiteral("画像フォーマット"), page), row, 0);
    cmbSaveFileFormat = new QComboBox(page);
    cmbSaveFileFormat->setObjectName(QStringLiteral("cmbSaveFileFormat"));
    setItems(cmbSaveFileFormat, {"bmp", "jpg", "png", "gif"});
    grid->addWidget(cmbSaveFileFormat, row++, 1);

    frJpgQuality = new QWidget(page);
    frJpgQuality->setObjectName(QStringLiteral("frJpgQuality"));
    auto* jpgRow = new QHBoxLayout(frJpgQuality);
    jpgRow->setContentsMargins(0, 0, 0, 0);
    jpgRow->addWidget(new QLabel(QStringLiteral("JPG画質"), frJpgQuality));
    cmbSaveJpgQuality = new QComboBox(frJpgQuality);
    cmbSaveJpgQuality->setObjectName(QStringLiteral("cmbSaveJpgQuality"));
    cmbSaveJpgQuality->setEditable(true);
    cmbSaveJpgQuality->setInsertPolicy(QComboBox::NoInsert);
    cmbSaveJpgQuality->setToolTip(QStringLiteral("JPG画質 50～100 数値大：高画質"));
    setItems(cmbSaveJpgQuality, {" 30", " 40", " 50", " 60", " 70", " 80", " 90", " 95", "100"});
    cmbSaveJpgQuality->lineEdit()->setMaxLength(3);
    jpgRow->addWidget(cmbSaveJpgQuality);
    jpgRow->addStretch(1);
    grid->addWidget(frJpgQuality, row++, 1);
    digitsOnly(cmbSaveJpgQuality);
    watchLeave(cmbSaveJpgQuality);
    connect(cmbSaveFileFormat, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        frJpgQuality->setVisible(text.compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0);
    });

    ChkAutoSave = checkBox(page, "ChkAutoSave", QStringLiteral("自動保存"),
                           QStringLiteral("キャプチャーするたびにファイルに保存します"));
    grid->addWidget(ChkAutoSave, row++, 0, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("保存先"), page), row, 0);
    auto* folderRow = new QHBoxLayout;
    txtSaveFolderPath = new QLineEdit(page);
    txtSaveFolderPath->setObjectName(QStringLiteral("txtSaveFolderPath"));
    txtSaveFolderPath->setToolTip(
        QStringLiteral("保存先フォルダ名　空白時はプログラムと同じフォルダ"));
    cmdSaveFolder = new QPushButton(QStringLiteral("..."), page);
    cmdSaveFolder->setObjectName(QStringLiteral("cmdSaveFolder"));
    cmdSaveFolder->setToolTip(QStringLiteral("保存先のフォルダを指定"));
    cmdSaveFolder->setAutoDefault(false);
    folderRow->addWidget(txtSaveFolderPath, 1);
    folderRow->addWidget(cmdSaveFolder);
    grid->addLayout(folderRow, row++, 1);
    connect(cmdSaveFolder, &QPushButton::clicked, this, &frmSetting::cmdSaveFolder_Click);

    chkLoadFiles = checkBox(page, "chkLoadFiles", QStringLiteral("起動時に画像ファイルを読込む"),
                            QStringLiteral("起動時に既存の画像ファイルを画像リストに読込む"));
    grid->addWidget(chkLoadFiles, row++, 0, 1, 2);

    auto* thumbs = new QGroupBox(QStringLiteral("保存サムネイルサイズ"), page);
    auto* thumbGrid = new QGridLayout(thumbs);
    const QString sides[2] = {QStringLiteral("幅（ピクセル）"), QStringLiteral("高さ（ピクセル）")};
    for (int i = 0; i < 2; ++i) {
        txtThumbnail[size_t(i)] =
            digitBox(thumbs, QStringLiteral("txtThumbnail_%1").arg(i), QStringLiteral("[0-9]*"));
        thumbGrid->addWidget(new QLabel(sides[i], thumbs), i, 0);
        thumbGrid->addWidget(txtThumbnail[size_t(i)], i, 1);
        digitsOnly(txtThumbnail[size_t(i)]);
        watchLeave(txtThumbnail[size_t(i)]);
    }
    chkThumbnailStatic = checkBox(
        thumbs, "chkThumbnailStatic", QStringLiteral("サイズを固定"),
        QStringLiteral("オンの時：左記のサイズに変形　オフのとき：幅高の長い方に合わせます。"));
    thumbGrid->addWidget(chkThumbnailStatic, 0, 2, 2, 1);
    grid->addWidget(thumbs, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
}

void frmSetting::fillSavePage(const SettingsForm& f) {
    txtMaxCnt->setText(f.maxCnt);
    cmbSaveFileFormat->setCurrentIndex(f.saveFileFormat);
    frJpgQuality->setVisible(
        cmbSaveFileFormat->currentText().compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0);
    cmbSaveJpgQuality->setEditText(f.saveJpgQuality);
    ChkAutoSave->setChecked(f.autoSave);
    txtSaveFolderPath->setText(f.saveFolderPath);
    chkLoadFiles->setChecked(f.loadFiles);
    for (size_t i = 0; i < 2; ++i)
        txtThumbnail[i]->setText(f.thumbnail[i]);
    chkThumbnailStatic->setChecked(f.thumbnailStatic);
}

void frmSetting::readSavePage(SettingsForm& f) const {
    f.maxCnt = txtMaxCnt->text();
    f.saveFileFormat = cmbSaveFileFormat->currentIndex();
    f.saveJpgQuality = cmbSaveJpgQuality->currentText();
    f.autoSave = ChkAutoSave->isChecked();
    f.saveFolderPath = txtSaveFolderPath->text();
    f.loadFiles = chkLoadFiles->isChecked();
    for (size_t i = 0; i < 2; ++i)
        f.thumbnail[i] = txtThumbnail[i]->text();
    f.thumbnailStatic = chkThumbnailStatic->isChecked();
}

void frmSetting::cmdSaveFolder_Click() {
    const QString chosen =
        m_pickers->chooseFolder(this, QStringLiteral("保存フォルダの指定"),
                                saveFolderDialogStart(txtSaveFolderPath->text()));
    if (!chosen.isEmpty()) txtSaveFolderPath->setText(saveFolderText(chosen));
}

void frmSetting::cmdDropButton_Click() {
    if (dropList->isVisible()) {
        dropList->close();
        return;
    }
    dropList->showUnder(txtMaxCnt, cmdDropButton, kMaxCntCandidates, m_settings.commandHistoryRows,
                        txtMaxCnt->text());
}

} // namespace klavoro
