#include "ui/frmrichtxt.h"

#include "export/selectionformat.h"
#include "export/stepdocument.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace klavoro {
namespace {

QToolButton* toolButton(QToolBar* bar, const char* name, const QString& text, const QString& tip,
                        const char* icon = nullptr) {
    auto* b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(tip);
    const QIcon themed = icon ? QIcon::fromTheme(QLatin1String(icon)) : QIcon();
    if (!themed.isNull()) {
        b->setIcon(themed);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    bar->addWidget(b);
    return b;
}

// The B, I and U buttons show their state in their own captions too.
void showState(QToolButton* button, bool on) {
    const QSignalBlocker block(button);
    button->setChecked(on);
    QFont f = button->font();
    f.setBold(on && button->text() == QLatin1String("B"));
    f.setItalic(on && button->text() == QLatin1String("I"));
    f.setUnderline(on && button->text() == QLatin1String("U"));
    button->setFont(f);
}

QString sizeText(double points) {
    return QString::number(points, 'g', 4);
}

} // namespace

void frmRichTxt::buildToolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("書式"));
    bar->setObjectName(QStringLiteral("tbrFormat"));
    bar->setMovable(false);

    cmbFont = new QFontComboBox(bar);
    cmbFont->setObjectName(QStringLiteral("cmbFont"));
    cmbFont->setToolTip(QStringLiteral("フォント名"));
    bar->addWidget(cmbFont);
    connect(cmbFont, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        if (m_updating) return;
        QTextCharFormat f;
        f.setFontFamilies({font.family()});
        applyFormat(f);
    });

    cmbFontSize = new QComboBox(bar);
    cmbFontSize->setObjectName(QStringLiteral("cmbFontSize"));
    cmbFontSize->setToolTip(QStringLiteral("フォントサイズ"));
    cmbFontSize->setEditable(true);
    cmbFontSize->setInsertPolicy(QComboBox::NoInsert);
    for (const int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        cmbFontSize->addItem(QString::number(size));
    // Only digits and '.' can be typed; a text that is no size is ignored.
    cmbFontSize->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9.]*")), cmbFontSize));
    cmbFontSize->setMinimumContentsLength(4);
    bar->addWidget(cmbFontSize);
    auto applySize = [this](const QString& text) {
        const double size = fontSizeOf(text);
        if (m_updating || size <= 0) return;
        QTextCharFormat f;
        f.setFontPointSize(size);
        applyFormat(f);
    };
    // A size chosen from the list, or typed and confirmed with Enter (a typed
    // size need not be one of the items).
    connect(cmbFontSize, &QComboBox::textActivated, this, applySize);
    connect(cmbFontSize->lineEdit(), &QLineEdit::returnPressed, this,
            [this, applySize] { applySize(cmbFontSize->currentText()); });

    cmdBold = toolButton(bar, "cmdBold", QStringLiteral("B"), QStringLiteral("太字"));
    cmdItalic = toolButton(bar, "cmdItalic", QStringLiteral("I"), QStringLiteral("斜体"));
    cmdUnderLine = toolButton(bar, "cmdUnderLine", QStringLiteral("U"), QStringLiteral("下線"));
    for (QToolButton* b : {cmdBold, cmdItalic, cmdUnderLine}) {
        b->setCheckable(true);
        connect(b, &QToolButton::toggled, this, [this, b](bool on) {
            showState(b, on);
            QTextCharFormat f;
            if (b == cmdBold) f.setFontWeight(on ? QFont::Bold : QFont::Normal);
            if (b == cmdItalic) f.setFontItalic(on);
            if (b == cmdUnderLine) f.setFontUnderline(on);
            applyFormat(f);
        });
    }
    cmdForeColor = toolButton(bar, "cmdForeColor", QString(), QStringLiteral("文字色"));
    connect(cmdForeColor, &QToolButton::clicked, this, &frmRichTxt::cmdForeColor_Click);
    showColour(Qt::black);
    bar->addSeparator();

    cmdCut = toolButton(bar, "cmdCut", QStringLiteral("切り取り"), QStringLiteral("切り取り"),
                        "edit-cut");
    cmdCopy =
        toolButton(bar, "cmdCopy", QStringLiteral("コピー"), QStringLiteral("コピー"), "edit-copy");
    cmdPaste = toolButton(bar, "cmdPaste", QStringLiteral("貼り付け"), QStringLiteral("貼り付け"),
                          "edit-paste");
    cmdUndo = toolButton(bar, "cmdUndo", QStringLiteral("元に戻す"), QStringLiteral("元に戻す"),
                         "edit-undo");
    cmdUndo->setEnabled(false);
    connect(cmdCut, &QToolButton::clicked, mnuCut, &QAction::trigger);
    connect(cmdCopy, &QToolButton::clicked, mnuCopy, &QAction::trigger);
    connect(cmdPaste, &QToolButton::clicked, mnuPaste, &QAction::trigger);
    connect(cmdUndo, &QToolButton::clicked, mnuUndo, &QAction::trigger);

    // The toolbar follows the selection, by mouse and by keyboard alike.
    connect(rtfText, &QTextEdit::cursorPositionChanged, this, &frmRichTxt::updateToolbar);
    connect(rtfText, &QTextEdit::selectionChanged, this, &frmRichTxt::updateToolbar);

    m_chooseFont = [this](const QFont& initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, this, QStringLiteral("フォント"));
        return ok ? std::optional<QFont>(font) : std::nullopt;
    };
    m_chooseColour = [this](const QColor& initial) {
        return QColorDialog::getColor(initial, this, QStringLiteral("文字色"));
    };
}

void frmRichTxt::applyFormat(const QTextCharFormat& format) {
    if (m_updating) return;
    rtfText->mergeCurrentCharFormat(format);
    rtfText->setFocus();
}

void frmRichTxt::showColour(const QColor& colour) {
    QPixmap swatch(16, 16);
    swatch.fill(colour.isValid() ? colour : QColor(Qt::black));
    cmdForeColor->setIcon(QIcon(swatch));
}

void frmRichTxt::updateToolbar() {
    const SelectionFormat f = selectionFormat(rtfText->textCursor(), m_document->defaultFont());
    m_updating = true;
    if (f.family) {
        const QSignalBlocker block(cmbFont);
        cmbFont->setCurrentFont(QFont(*f.family));
        cmbFont->setEditText(*f.family);
    }
    if (f.pointSize && *f.pointSize > 0) cmbFontSize->setEditText(sizeText(*f.pointSize));
    if (f.bold) showState(cmdBold, *f.bold);
    if (f.italic) showState(cmdItalic, *f.italic);
    if (f.underline) showState(cmdUnderLine, *f.underline);
    if (f.colour) showColour(*f.colour);
    m_updating = false;
}

void frmRichTxt::mnuFont_Click() {
    const SelectionFormat f = selectionFormat(rtfText->textCursor(), m_document->defaultFont());
    QFont initial = m_document->defaultFont();
    if (f.family) initial.setFamilies({*f.family});
    if (f.pointSize && *f.pointSize > 0) initial.setPointSizeF(*f.pointSize);
    initial.setBold(f.bold.value_or(false));
    initial.setItalic(f.italic.value_or(false));
    initial.setUnderline(f.underline.value_or(false));
    initial.setStrikeOut(f.strikeOut.value_or(false));
    const std::optional<QFont> chosen = m_chooseFont(initial);
    if (!chosen) return;
    QTextCharFormat format;
    format.setFontFamilies({chosen->family()});
    if (chosen->pointSizeF() > 0) format.setFontPointSize(chosen->pointSizeF());
    format.setFontWeight(chosen->bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chosen->italic());
    format.setFontUnderline(chosen->underline());
    format.setFontStrikeOut(chosen->strikeOut());
    applyFormat(format);
    updateToolbar();
}

void frmRichTxt::cmdForeColor_Click() {
    const SelectionFormat f = selectionFormat(rtfText->textCursor(), m_document->defaultFont());
    const QColor initial = f.colour && f.colour->isValid() ? *f.colour : QColor(Qt::black);
    const QColor chosen = m_chooseColour(initial);
    if (!chosen.isValid()) return;
    QTextCharFormat format;
    format.setForeground(chosen);
    applyFormat(format);
    showColour(chosen);
}

} // namespace klavoro
