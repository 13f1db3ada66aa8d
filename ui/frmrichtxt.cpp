#include "ui/frmrichtxt.h"

#include "export/documentsteps.h"
#include "export/richtextbuild.h"
#include "export/rtfwriter.h"
#include "export/stepdocument.h"
#include "store/logs.h"
#include "ui/qtdialogs.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTextImageFormat>
#include <QToolButton>
#include <QUrl>

namespace klavoro {
namespace {

const QString kCaption = QStringLiteral("リッチテキスト");
const QString kSaved = QStringLiteral("保存完了！");
const QString kSaveErrorTitle = QStringLiteral("保存時エラー発生");

// Pictures pasted from the clipboard go into the document as pictures.
class RichTextEdit : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override {
        return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData* source) override {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (!source->hasImage() || image.isNull()) {
            QTextEdit::insertFromMimeData(source);
            return;
        }
        const QString name = QStringLiteral("pasted:%1").arg(++m_pasted);
        document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(image.width());
        format.setHeight(image.height());
        textCursor().insertImage(format);
    }

private:
    int m_pasted = 0;
};

} // namespace

frmRichTxt::frmRichTxt(std::unique_ptr<ExportHost> host, Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), m_host(std::move(host)), m_dialogs(dialogs),
      m_document(new StepDocument(this)) {
    setObjectName(QStringLiteral("frmRichTxt"));
    setWindowTitle(kCaption);
    if (!m_dialogs) {
        m_ownDialogs = std::make_unique<QtDialogs>(this);
        m_dialogs = m_ownDialogs.get();
    }
    rtfText = new RichTextEdit(this);
    rtfText->setObjectName(QStringLiteral("rtfText"));
    rtfText->setDocument(m_document);
    setCentralWidget(rtfText);
    buildMenus();
    buildToolbar();
    connect(m_document, &QTextDocument::contentsChanged, this, [this] { m_dirty = true; });
    connect(m_document, &QTextDocument::undoAvailable, this, [this](bool on) {
        cmdUndo->setEnabled(on);
        mnuUndo->setEnabled(on);
    });
    m_chooseFile = [this](const QString& folder, const QString& name, const QString& filters,
                          QString* selected) {
        return QFileDialog::getSaveFileName(this, QString(), folder + '/' + name, filters,
                                            selected);
    };
    resize(820, 640);
}

frmRichTxt::~frmRichTxt() = default;

void frmRichTxt::buildMenus() {
    auto action = [this](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    mnuFile = menuBar()->addMenu(QStringLiteral("ファイル"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuSave = action(mnuFile, "mnuSave", QStringLiteral("上書き保存"));
    mnuSaveAs = action(mnuFile, "mnuSaveAs", QStringLiteral("名前を付けて保存"));
    mnuFile->addSeparator();
    mnuSavePdf = action(mnuFile, "mnuSavePdf", QStringLiteral("PDFとして保存"));
    mnuSave->setShortcut(QKeySequence::Save);
    connect(mnuSave, &QAction::triggered, this, &frmRichTxt::mnuSave_Click);
    connect(mnuSaveAs, &QAction::triggered, this, &frmRichTxt::mnuSaveAs_Click);
    connect(mnuSavePdf, &QAction::triggered, this, &frmRichTxt::mnuSavePdf_Click);

    mnuEdit = menuBar()->addMenu(QStringLiteral("編集"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuUndo = action(mnuEdit, "mnuUndo", QStringLiteral("元に戻す"));
    mnuEdit->addSeparator();
    mnuCut = action(mnuEdit, "mnuCut", QStringLiteral("切り取り"));
    mnuCopy = action(mnuEdit, "mnuCopy", QStringLiteral("コピー"));
    mnuPaste = action(mnuEdit, "mnuPaste", QStringLiteral("貼り付け"));
    mnuEdit->addSeparator();
    mnuSelectAll = action(mnuEdit, "mnuSelectAll", QStringLiteral("全て選択"));
    mnuUndo->setEnabled(false);
    connect(mnuUndo, &QAction::triggered, rtfText, &QTextEdit::undo);
    connect(mnuCut, &QAction::triggered, rtfText, &QTextEdit::cut);
    connect(mnuCopy, &QAction::triggered, rtfText, &QTextEdit::copy);
    connect(mnuPaste, &QAction::triggered, rtfText, &QTextEdit::paste);
    connect(mnuSelectAll, &QAction::triggered, rtfText, &QTextEdit::selectAll);

    mnuFormat = menuBar()->addMenu(QStringLiteral("書式"));
    mnuFormat->setObjectName(QStringLiteral("mnuFormat"));
    mnuFont = action(mnuFormat, "mnuFont", QStringLiteral("フォント"));
    connect(mnuFont, &QAction::triggered, this, &frmRichTxt::mnuFont_Click);

    // Not in the menu bar: it is the text's context menu.
    mnuPopup = new QMenu(QStringLiteral("ポップアップ"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPopupFont = action(mnuPopup, "mnuPopupFont", QStringLiteral("フォント"));
    connect(mnuPopupFont, &QAction::triggered, this, &frmRichTxt::mnuFont_Click);
    rtfText->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rtfText, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { mnuPopup->popup(rtfText->viewport()->mapToGlobal(at)); });
}

void frmRichTxt::Form_Load(const Settings& settings) {
    m_path.clear();
    buildRichText(*m_document, *m_host, settings);
    // A freshly built document has not been saved anywhere yet.
    m_dirty = true;
    cmdUndo->setEnabled(false);
    mnuUndo->setEnabled(false);
    rtfText->moveCursor(QTextCursor::Start);
    updateToolbar();
}

QString frmRichTxt::chooseFile(const QString& name, const QString& filters, const QString& suffix) {
    QString selected = filters.section(QStringLiteral(";;"), 0, 0);
    // Beside the steps it was made from: where the manual writer looks for it.
    QString folder = m_host->captureFolder();
    if (folder.endsWith('/')) folder.chop(1);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    QString path = m_chooseFile(folder, name, filters, &selected);
    if (path.isEmpty()) return {};
    // A name typed without an extension gets the one of the chosen kind.
    if (QFileInfo(path).suffix().isEmpty() && selected.contains(QLatin1String("*.") + suffix))
        path += '.' + suffix;
    return path;
}

bool frmRichTxt::saveRtf(const QString& path) {
    m_host->showProgress(QStringLiteral("保存中…"));
    int number = 0;
    QString error;
    const bool saved = writeRtfFile(*m_document, path, &number, &error);
    m_host->showProgress(QString());
    if (!saved) {
        writeLog(QStringLiteral("リッチテキスト保存: ") + path + QStringLiteral(": ") + error);
        m_dialogs->message(QString::number(number) + ' ' + error, kSaveErrorTitle);
        return false;
    }
    m_dirty = false;
    return true;
}

bool frmRichTxt::mnuSave_Click() {
    if (m_path.isEmpty()) return mnuSaveAs_Click();
    if (!saveRtf(m_path)) return false;
    m_dialogs->message(kSaved, kCaption);
    return true;
}

bool frmRichTxt::mnuSaveAs_Click() {
    const QString name = m_path.isEmpty() ? QStringLiteral("無題") : QFileInfo(m_path).fileName();
    const QString path = chooseFile(
        name, QStringLiteral("リッチテキスト(*.rtf);;全てのファイル(*.*)"), QStringLiteral("rtf"));
    if (path.isEmpty() || !saveRtf(path)) return false;
    m_path = path;
    setWindowTitle(kCaption + QStringLiteral(" - ") + QFileInfo(path).fileName());
    m_dialogs->message(kSaved, kCaption);
    return true;
}

bool frmRichTxt::mnuSavePdf_Click() {
    const QString base =
        m_path.isEmpty() ? QStringLiteral("無題") : QFileInfo(m_path).completeBaseName();
    const QString path =
        chooseFile(base + QStringLiteral(".pdf"), QStringLiteral("PDF(*.pdf);;全てのファイル(*.*)"),
                   QStringLiteral("pdf"));
    if (path.isEmpty()) return false;
    m_host->showProgress(QStringLiteral("保存中…"));
    QSaveFile file(path);
    bool saved = file.open(QIODevice::WriteOnly);
    if (saved) {
        {
            QPdfWriter pdf(&file);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            pdf.setTitle(windowTitle());
            m_document->print(&pdf);
        }
        saved = file.commit();
    }
    m_host->showProgress(QString());
    if (!saved) {
        m_dialogs->message(QString::number(file.error()) + ' ' + file.errorString(),
                           kSaveErrorTitle);
        return false;
    }
    m_dialogs->message(kSaved, kCaption);
    return true;
}

void frmRichTxt::closeEvent(QCloseEvent* event) {
    if (m_dirty &&
        m_dialogs->askYesNo(QStringLiteral("変更されています。") + QStringLiteral("\r\n") +
                                QStringLiteral("保存しますか？"),
                            QStringLiteral("保存確認"), true)) {
        // The user wanted it kept: a cancelled or failed save keeps the window open.
        if (!mnuSaveAs_Click()) {
            event->ignore();
            return;
        }
    }
    event->accept();
    emit closed();
}

} // namespace klavoro
