#include "ui/frmmakehtml.h"

#include "capture/drawing.h"
#include "platform/shell.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/logs.h"
#include "store/notices.h"
#include "store/settings.h"
#include "store/steplist.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace klavoro {

qint32 bgrFromColour(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

frmMakeHtml::frmMakeHtml(MakeHtmlContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)) {
    setObjectName(QStringLiteral("frmMakeHtml"));
    setWindowTitle(QStringLiteral("HTMLファイルの作成"));
    setModal(true);
    if (!m_context.chooseColour)
        m_context.chooseColour = [](const QColor& start, QWidget* owner) -> std::optional<QColor> {
            const QColor c = QColorDialog::getColor(start, owner);
            if (!c.isValid()) return std::nullopt;
            return c;
        };
    Settings& s = *m_context.settings;

    frHtml = new QGroupBox(QStringLiteral("HTMLの形式"), this);
    frHtml->setObjectName(QStringLiteral("frHtml"));
    auto* styles = new QVBoxLayout(frHtml);
    const QString captions[2] = {QStringLiteral("実寸画像"), QStringLiteral("サムネイル")};
    for (int i = 0; i < 2; ++i) {
        OptHtml[i] = new QRadioButton(captions[i], frHtml);
        OptHtml[i]->setObjectName(QStringLiteral("OptHtml_%1").arg(i));
        styles->addWidget(OptHtml[i]);
        connect(OptHtml[i], &QRadioButton::clicked, this,
                [this, i] { m_context.settings->html = i; });
    }
    OptHtml[s.html == 1 ? 1 : 0]->setChecked(true);

    chkBorder = new QCheckBox(QStringLiteral("画像枠"), this);
    chkBorder->setObjectName(QStringLiteral("chkBorder"));
    frBorder = new QGroupBox(this);
    frBorder->setObjectName(QStringLiteral("frBorder"));
    auto* border = new QHBoxLayout(frBorder);
    cmbBorderWeight = new QComboBox(frBorder);
    cmbBorderWeight->setObjectName(QStringLiteral("cmbBorderWeight"));
    cmbBorderWeight->setToolTip(QStringLiteral("画像枠の太さ"));
    cmbBorderWeight->setEditable(true);
    cmbBorderWeight->lineEdit()->setValidator(new QIntValidator(0, 99, cmbBorderWeight));
    for (int i = 0; i <= 9; ++i)
        cmbBorderWeight->addItem(QString::number(i));
    cmbBorderWeight->setEditText(QString::number(s.htmlBorderWeight));
    cmdBorderColor = new QPushButton(frBorder);
    cmdBorderColor->setObjectName(QStringLiteral("cmdBorderColor"));
    cmdBorderColor->setFixedSize(48, 24);
    chkBorderDouble = new QCheckBox(QStringLiteral("二重線"), frBorder);
    chkBorderDouble->setObjectName(QStringLiteral("chkBorderDouble"));
    chkBorderDouble->setToolTip(QStringLiteral("線の種類"));
    chkBorderDouble->setChecked(s.htmlBorderDouble != 0);
    border->addWidget(cmbBorderWeight);
    border->addWidget(new QLabel(QStringLiteral("px"), frBorder));
    border->addWidget(cmdBorderColor);
    border->addWidget(chkBorderDouble);
    border->addStretch();
    setSwatch(colourFromBgr(s.htmlBorderColor));
    chkBorder->setChecked(s.htmlBorder != 0);
    frBorder->setEnabled(chkBorder->isChecked());
    connect(chkBorder, &QCheckBox::clicked, this, [this](bool on) {
        m_context.settings->htmlBorder = on ? 1 : 0;
        frBorder->setEnabled(on);
    });
    connect(cmbBorderWeight, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        bool ok = false;
        const int weight = text.toInt(&ok);
        if (ok) m_context.settings->htmlBorderWeight = weight;
    });
    connect(cmdBorderColor, &QPushButton::clicked, this, &frmMakeHtml::cmdBorderColor_Click);

    auto* buttons = new QHBoxLayout;
    const QString closeCaptions[2] = {QStringLiteral("作成開始"), QStringLiteral("キャンセル")};
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        cmdClose[i] = new QPushButton(closeCaptions[i], this);
        cmdClose[i]->setObjectName(QStringLiteral("cmdClose_%1").arg(i));
        cmdClose[i]->setAutoDefault(false);
        buttons->addWidget(cmdClose[i]);
        connect(cmdClose[i], &QPushButton::clicked, this, [this, i] { cmdClose_Click(i); });
    }
    cmdClose[0]->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frHtml);
    layout->addWidget(chkBorder);
    layout->addWidget(frBorder);
    layout->addLayout(buttons);
}

void frmMakeHtml::setSwatch(const QColor& colour) {
    m_colour = colour;
    cmdBorderColor->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid #666;").arg(colour.name()));
    cmdBorderColor->setToolTip(colour.name());
}

void frmMakeHtml::cmdBorderColor_Click() {
    if (const auto chosen = m_context.chooseColour(m_colour, this)) setSwatch(*chosen);
}

void frmMakeHtml::storeSettings() {
    Settings& s = *m_context.settings;
    s.html = OptHtml[1]->isChecked() ? 1 : 0;
    s.htmlBorder = chkBorder->isChecked() ? 1 : 0;
    bool ok = false;
    const int weight = cmbBorderWeight->currentText().toInt(&ok);
    if (ok) s.htmlBorderWeight = weight;
    s.htmlBorderColor = bgrFromColour(m_colour);
    s.htmlBorderDouble = chkBorderDouble->isChecked() ? 1 : 0;
}

void frmMakeHtml::cmdClose_Click(int index) {
    if (index == 1) {
        reject();
        return;
    }
    if (m_busy) return; // a page is being written
    m_busy = true;
    LongOperation writing([this] { m_cancel = true; });
    storeSettings();
    m_result = writeHtmlManual(*m_context.steps, *m_context.settings, m_context.paths,
                               m_context.settings->html == 1, *m_context.dialogs, *this);
    m_busy = false;
    if (!m_cancel) accept();
}

void frmMakeHtml::reject() {
    m_cancel = true;
    QDialog::reject();
}

void frmMakeHtml::closeEvent(QCloseEvent* event) {
    m_cancel = true;
    QDialog::closeEvent(event);
}

void frmMakeHtml::showProgress(const QString& text, int displayMs) {
    if (m_context.notices) m_context.notices->showProgress(text, displayMs);
}

void frmMakeHtml::setStatus(const QString& text) {
    if (m_context.status) m_context.status(text);
}

void frmMakeHtml::letEventsRun() {
    klavoro::letEventsRun();
}

void frmMakeHtml::openPage(const QString& path) {
    if (m_context.shell && m_context.shell->hasProgramFor(path) && m_context.shell->open(path))
        return;
    writeLog(QStringLiteral("HTML: no program to open the page: ") + path);
    m_context.dialogs->message(QStringLiteral("HTMLファイルを作成しました。") +
                                   QStringLiteral("\r\n") +
                                   QStringLiteral("開くブラウザが見つからないため、開けませんでした。") +
                                   QStringLiteral("\r\n\r\n") + QStringLiteral("ファイル：") +
                                   QDir::toNativeSeparators(path),
                               QStringLiteral("HTMLファイル作成"));
}

void runMakeHtml(MakeHtmlContext context, QWidget* parent) {
    if (context.steps->count() == 0) {
        context.dialogs->message(QStringLiteral("データがありません！"),
                                 QStringLiteral("HTML作成不可"));
        return;
    }
    frmMakeHtml dialog(std::move(context), parent);
    dialog.exec();
}

} // namespace klavoro
