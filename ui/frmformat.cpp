#include "ui/frmformat.h"

#include "describe/texttransforms.h"
#include "store/dialogs.h"
#include "store/settings.h"
#include "ui/qtdialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace klavoro {
namespace {

// A switch keeps its stored value unless the user changed the check box, so
// that "Ok" without changes stores exactly what was loaded.
qint32 switchValue(const QCheckBox* box, qint32 loaded, bool loadedOn) {
    return box->isChecked() == loadedOn ? loaded : (box->isChecked() ? 1 : 0);
}

QString entryDisplay(const QString& entry) {
    QString search, replacement;
    splitReplacementEntry(entry, &search, &replacement);
    return search + QStringLiteral("　→　") + replacement;
}

QLineEdit* phraseBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaximumWidth(90);
    return box;
}

} // namespace

frmFormat::frmFormat(Settings& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dialogs(dialogs),
      m_loaded(phraseFormatOf(settings)) {
    setObjectName(QStringLiteral("frmFormat"));
    setWindowTitle(QStringLiteral("「操作説明」フォーマット設定"));
    setModal(true);

    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdOk->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    connect(cmdOk, &QPushButton::clicked, this, &frmFormat::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);

    auto* lower = new QHBoxLayout;
    lower->addWidget(buildReplaceGroup(), 3);
    lower->addWidget(buildNumberGroup(), 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildMouseGroup());
    layout->addWidget(buildKeyGroup());
    layout->addLayout(lower);
    layout->addLayout(buttons);

    loadControls();
}

QWidget* frmFormat::buildMouseGroup() {
    auto* group = new QGroupBox(QStringLiteral("操作説明（マウス）"), this);
    auto* grid = new QGridLayout(group);
    static const char* const kParts[4] = {"0", "1", "3", "4"};
    // The preview reads as the sentence: parts, joining words, verb, ending.
    const int columns[4] = {1, 2, 4, 5};
    grid->addWidget(new QLabel(QStringLiteral("文例"), group), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("括弧の形状"), group), 1, 0);
    for (int i = 0; i < 4; ++i) {
        auto* cell = new QWidget(group);
        auto* row = new QHBoxLayout(cell);
        row->setContentsMargins(0, 0, 0, 0);
        chkDspPhrase[i] = new QCheckBox(cell);
        chkDspPhrase[i]->setObjectName(QStringLiteral("chkDspPhrase") + kParts[i]);
        lblPhrase[i] = new QLabel(cell);
        lblPhrase[i]->setObjectName(QStringLiteral("lblPhrase") + kParts[i]);
        row->addWidget(chkDspPhrase[i]);
        row->addWidget(lblPhrase[i]);
        row->addStretch();
        grid->addWidget(cell, 0, columns[i]);
        txtBrackets[i] = phraseBox(QStringLiteral("txtBrackets%1").arg(i + 1), group);
        txtBrackets[i]->setMaximumWidth(48);
        grid->addWidget(txtBrackets[i], 1, columns[i]);
        connect(chkDspPhrase[i], &QCheckBox::toggled, this, &frmFormat::refreshPreview);
        connect(txtBrackets[i], &QLineEdit::textChanged, this, &frmFormat::refreshPreview);
    }
    txtPhrase2 = phraseBox(QStringLiteral("txtPhrase2"), group);
    txtPhrase5 = phraseBox(QStringLiteral("txtPhrase5"), group);
    txtPhrase7 = phraseBox(QStringLiteral("txtPhrase7"), group);
    lblVerb = new QLabel(group);
    lblVerb->setObjectName(QStringLiteral("lblVerb"));
    grid->addWidget(txtPhrase2, 0, 3);
    grid->addWidget(txtPhrase5, 0, 6);
    grid->addWidget(lblVerb, 0, 7);
    grid->addWidget(txtPhrase7, 0, 8);

    chkAbbLeft = new QCheckBox(QStringLiteral("「左」を省略"), group);
    chkAbbLeft->setObjectName(QStringLiteral("chkAbbLeft"));
    chkAbbLeft->setToolTip(
        QStringLiteral("左クリック→クリック、左ドラッグ→ドラッグ　と省略形にする"));
    chkNoShortcut = new QCheckBox(QStringLiteral("ショートカットを無視"), group);
    chkNoShortcut->setObjectName(QStringLiteral("chkNoShortcut"));
    chkNoShortcut->setToolTip(QStringLiteral("Ctrl+Eのようなショートカット名を取得しない"));
    grid->addWidget(chkAbbLeft, 2, 1, 1, 3);
    grid->addWidget(chkNoShortcut, 2, 4, 1, 3);
    connect(chkAbbLeft, &QCheckBox::toggled, this, &frmFormat::refreshPreview);
    connect(chkNoShortcut, &QCheckBox::toggled, this, &frmFormat::refreshPreview);
    grid->setColumnStretch(9, 1);
    return group;
}

QWidget* frmFormat::buildKeyGroup() {
    auto* group = new QGroupBox(QStringLiteral("操作説明（キー）"), this);
    auto* row = new QHBoxLayout(group);
    txtPhraseKey0 = new QLineEdit(group);
    txtPhraseKey0->setObjectName(QStringLiteral("txtPhraseKey0"));
    txtPhraseKey1 = new QLineEdit(group);
    txtPhraseKey1->setObjectName(QStringLiteral("txtPhraseKey1"));
    // Shown for reference; their values are kept and stored unchanged.
    txtPhraseKey0->setEnabled(false);
    txtPhraseKey1->setEnabled(false);
    row->addWidget(new QLabel(QStringLiteral("キー押下時"), group));
    row->addWidget(txtPhraseKey0);
    row->addWidget(new QLabel(QStringLiteral("文字入力時"), group));
    row->addWidget(txtPhraseKey1);
    return group;
}

QWidget* frmFormat::buildReplaceGroup() {
    auto* group = new QGroupBox(QStringLiteral("文言置換"), this);
    auto* row = new QHBoxLayout(group);
    lstReplace = new QListWidget(group);
    lstReplace->setObjectName(QStringLiteral("lstReplace"));
    lstReplace->installEventFilter(this);
    connect(lstReplace, &QListWidget::currentRowChanged, this, &frmFormat::lstReplace_Click);
    connect(lstReplace, &QListWidget::itemClicked, this, &frmFormat::lstReplace_Click);
    auto* edit = new QVBoxLayout;
    txtReplaceFrom = new QLineEdit(group);
    txtReplaceFrom->setObjectName(QStringLiteral("txtReplaceFrom"));
    txtReplaceTo = new QLineEdit(group);
    txtReplaceTo->setObjectName(QStringLiteral("txtReplaceTo"));
    cmdAdd = new QPushButton(QStringLiteral("追加"), group);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdEdit = new QPushButton(QStringLiteral("編集"), group);
    cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    cmdAdd->setAutoDefault(false);
    cmdEdit->setAutoDefault(false);
    connect(cmdAdd, &QPushButton::clicked, this, &frmFormat::cmdAdd_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmFormat::cmdEdit_Click);
    edit->addWidget(new QLabel(QStringLiteral("対象文言"), group));
    edit->addWidget(txtReplaceFrom);
    edit->addWidget(new QLabel(QStringLiteral("置換後文言"), group));
    edit->addWidget(txtReplaceTo);
    auto* pair = new QHBoxLayout;
    pair->addWidget(cmdAdd);
    pair->addWidget(cmdEdit);
    edit->addLayout(pair);
    edit->addStretch();
    row->addWidget(lstReplace, 1);
    row->addLayout(edit);
    return group;
}

QWidget* frmFormat::buildNumberGroup() {
    auto* group = new QGroupBox(QStringLiteral("フォーマット"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("HTML、リッチテキスト作成時"), group), 0, 0, 1, 2);
    cmbNoFormat = new QComboBox(group);
    cmbNoFormat->setObjectName(QStringLiteral("cmbNoFormat"));
    cmbNoFormat->addItems({QStringLiteral("記号"), QStringLiteral("数値　　　　例：3"),
                           QStringLiteral("空白詰め3桁 例：  3"),
                           QStringLiteral("０詰め3桁　 例：003")});
    grid->addWidget(new QLabel(QStringLiteral("連番の形式"), group), 1, 0);
    grid->addWidget(cmbNoFormat, 1, 1);
    chkNoPeriod = new QCheckBox(QStringLiteral("ピリオド"), group);
    chkNoPeriod->setObjectName(QStringLiteral("chkNoPeriod"));
    chkNoPeriod->setToolTip(QStringLiteral("連番の後ろにピリオドを打つ"));
    chkNoWide = new QCheckBox(QStringLiteral("全角"), group);
    chkNoWide->setObjectName(QStringLiteral("chkNoWide"));
    chkNoWide->setToolTip(QStringLiteral("連番を全角文字にします。"));
    grid->addWidget(chkNoPeriod, 2, 0);
    grid->addWidget(chkNoWide, 2, 1);
    auto* symbol = new QLabel(QStringLiteral("記号"), group);
    symbol->setObjectName(QStringLiteral("lblNoChar"));
    txtNoChar = new QLineEdit(group);
    txtNoChar->setObjectName(QStringLiteral("txtNoChar"));
    txtNoChar->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\\\]*")), txtNoChar));
    grid->addWidget(symbol, 3, 0);
    grid->addWidget(txtNoChar, 3, 1);
    cmbParagraph = new QComboBox(group);
    cmbParagraph->setObjectName(QStringLiteral("cmbParagraph"));
    for (int i = 0; i <= 9; ++i)
        cmbParagraph->addItem(QString::number(i));
    grid->addWidget(new QLabel(QStringLiteral("段落間の行数"), group), 4, 0);
    grid->addWidget(cmbParagraph, 4, 1);
    grid->setRowStretch(5, 1);
    connect(cmbNoFormat, &QComboBox::currentIndexChanged, this, &frmFormat::showNumberOptions);
    return group;
}

void frmFormat::loadControls() {
    const PhraseFormat& f = m_loaded;
    for (int i = 0; i < 4; ++i) {
        chkDspPhrase[i]->setChecked(f.dspPhrase[i] == 1);
        txtBrackets[i]->setText(f.brackets[i]);
    }
    txtPhrase2->setText(f.phrase2);
    txtPhrase5->setText(f.phrase5);
    txtPhrase7->setText(f.phrase7);
    chkAbbLeft->setChecked(f.abbLeft != 0);
    chkNoShortcut->setChecked(f.noShortcut != 0);
    txtPhraseKey0->setText(f.phraseKey0);
    txtPhraseKey1->setText(f.phraseKey1);
    for (const QString& entry : f.replacements)
        addEntry(entry);
    cmbNoFormat->setCurrentIndex(f.noFormat >= 0 && f.noFormat <= 3 ? f.noFormat : -1);
    chkNoPeriod->setChecked(f.noPeriod == 1);
    chkNoWide->setChecked(f.noWide == 1);
    // setText bypasses the validator: a stored symbol is shown as it is.
    txtNoChar->setText(f.noChar);
    // A paragraph count from an edited Conf.txt outside 0-9 is offered as it is.
    const QString paragraph = QString::number(f.paragraph);
    if (cmbParagraph->findText(paragraph) < 0) cmbParagraph->addItem(paragraph);
    cmbParagraph->setCurrentIndex(cmbParagraph->findText(paragraph));
    refreshPreview();
    showNumberOptions();
}

void frmFormat::refreshPreview() {
    const bool noShortcut = chkNoShortcut->isChecked();
    const QString samples[4] = {parentNameSample(noShortcut), parentRoleSample(),
                                elementNameSample(noShortcut), elementRoleSample()};
    for (int i = 0; i < 4; ++i) {
        lblPhrase[i]->setText(bracket(samples[i], txtBrackets[i]->text()));
        lblPhrase[i]->setEnabled(chkDspPhrase[i]->isChecked());
    }
    lblVerb->setText(verbSample(chkAbbLeft->isChecked()));
}

void frmFormat::showNumberOptions() {
    const bool symbol = cmbNoFormat->currentIndex() == 0;
    txtNoChar->setVisible(symbol);
    findChild<QLabel*>(QStringLiteral("lblNoChar"))->setVisible(symbol);
    chkNoPeriod->setVisible(!symbol);
    chkNoWide->setVisible(!symbol);
}

void frmFormat::addEntry(const QString& entry) {
    auto* item = new QListWidgetItem(entryDisplay(entry), lstReplace);
    item->setData(Qt::UserRole, entry);
}

QStringList frmFormat::replacementEntries() const {
    QStringList entries;
    for (int i = 0; i < lstReplace->count(); ++i)
        entries << lstReplace->item(i)->data(Qt::UserRole).toString();
    return entries;
}

void frmFormat::lstReplace_Click() {
    const QListWidgetItem* item = lstReplace->currentItem();
    if (!item) return;
    QString search, replacement;
    splitReplacementEntry(item->data(Qt::UserRole).toString(), &search, &replacement);
    txtReplaceFrom->setText(search);
    txtReplaceTo->setText(replacement);
}

bool frmFormat::searchTextMissing() {
    if (!txtReplaceFrom->text().isEmpty()) return false;
    m_dialogs.message(QStringLiteral("対象文言が空白です。"), QStringLiteral("追加/置換不可"));
    txtReplaceFrom->setFocus();
    return true;
}

void frmFormat::cmdAdd_Click() {
    if (searchTextMissing()) return;
    addEntry(replacementEntry(txtReplaceFrom->text(), txtReplaceTo->text()));
    lstReplace->setCurrentRow(lstReplace->count() - 1);
}

void frmFormat::cmdEdit_Click() {
    if (searchTextMissing()) return;
    QListWidgetItem* item = lstReplace->currentItem();
    if (!item) return;
    const QString entry = replacementEntry(txtReplaceFrom->text(), txtReplaceTo->text());
    item->setData(Qt::UserRole, entry);
    item->setText(entryDisplay(entry));
}

void frmFormat::removeSelectedEntry() {
    const int row = lstReplace->currentRow();
    if (row < 0) return;
    delete lstReplace->takeItem(row);
    const int next = rowAfterRemoval(row, lstReplace->count());
    lstReplace->setCurrentRow(next);
    if (next < 0) {
        txtReplaceFrom->clear();
        txtReplaceTo->clear();
    } else {
        lstReplace_Click();
    }
}

bool frmFormat::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstReplace && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelectedEntry();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

PhraseFormat frmFormat::controlValues() const {
    const PhraseFormat& l = m_loaded;
    PhraseFormat f = l;
    if (cmbNoFormat->currentIndex() >= 0) f.noFormat = cmbNoFormat->currentIndex();
    f.noPeriod = switchValue(chkNoPeriod, l.noPeriod, l.noPeriod == 1);
    f.noWide = switchValue(chkNoWide, l.noWide, l.noWide == 1);
    f.noChar = txtNoChar->text();
    for (int i = 0; i < 4; ++i) {
        f.dspPhrase[i] = switchValue(chkDspPhrase[i], l.dspPhrase[i], l.dspPhrase[i] == 1);
        f.brackets[i] = txtBrackets[i]->text();
    }
    f.phrase2 = txtPhrase2->text();
    f.phrase5 = txtPhrase5->text();
    f.phrase7 = txtPhrase7->text();
    f.abbLeft = switchValue(chkAbbLeft, l.abbLeft, l.abbLeft != 0);
    f.noShortcut = switchValue(chkNoShortcut, l.noShortcut, l.noShortcut != 0);
    f.phraseKey0 = txtPhraseKey0->text();
    f.phraseKey1 = txtPhraseKey1->text();
    f.paragraph = cmbParagraph->currentText().toInt();
    f.replacements = replacementEntries();
    return f;
}

void frmFormat::cmdOk_Click() {
    storePhraseFormat(controlValues(), m_settings);
    accept();
}

bool openFormatDialog(QWidget* parent) {
    QtDialogs dialogs(parent);
    frmFormat dialog(conf(), dialogs, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace klavoro
