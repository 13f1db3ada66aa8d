#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QFontComboBox;
class QMenu;
class QTextCharFormat;
class QTextEdit;
class QToolButton;

namespace klavoro {

class Dialogs;
class ExportHost;
class StepDocument;
struct Settings;

// The rich-text window: the steps as an editable document, saved as RTF (or
// PDF). The document is built once, when the window loads.
class frmRichTxt : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` may be null: the window then asks through its own message
    // boxes (the main window is disabled while this one is open).
    explicit frmRichTxt(std::unique_ptr<ExportHost> host, Dialogs* dialogs = nullptr,
                        QWidget* parent = nullptr);
    ~frmRichTxt() override;

    // Builds the document and shows the toolbar for it.
    void Form_Load(const Settings& settings);

    QString filePath() const { return m_path; }
    // True after any change since the build or the last save ("Dirty").
    bool isDirty() const { return m_dirty; }
    StepDocument& document() { return *m_document; }

    // The file, font and colour choosers; the system dialogs unless replaced
    // (tests answer for the user). An empty path, no font or an invalid
    // colour means the user cancelled.
    using FileChooser = std::function<QString(const QString& folder, const QString& name,
                                              const QString& filters, QString* selected)>;
    using FontChooser = std::function<std::optional<QFont>(const QFont& initial)>;
    using ColourChooser = std::function<QColor(const QColor& initial)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }
    void setColourChooser(ColourChooser chooser) { m_chooseColour = std::move(chooser); }

    QTextEdit* rtfText = nullptr;
    QFontComboBox* cmbFont = nullptr;
    QComboBox* cmbFontSize = nullptr;
    QToolButton* cmdBold = nullptr;
    QToolButton* cmdItalic = nullptr;
    QToolButton* cmdUnderLine = nullptr;
    QToolButton* cmdForeColor = nullptr;
    QToolButton* cmdCut = nullptr;
    QToolButton* cmdCopy = nullptr;
    QToolButton* cmdPaste = nullptr;
    QToolButton* cmdUndo = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuFormat = nullptr;
    QMenu* mnuPopup = nullptr; // hidden: the text's context menu
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuSavePdf = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuCut = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuSelectAll = nullptr;
    QAction* mnuFont = nullptr;
    QAction* mnuPopupFont = nullptr;

public slots:
    // Each gives false when nothing was saved (cancelled or failed).
    bool mnuSave_Click();
    bool mnuSaveAs_Click();
    bool mnuSavePdf_Click();
    void mnuFont_Click();
    void cmdForeColor_Click();
    // The toolbar shows the selection's format.
    void updateToolbar();

signals:
    // After the window has closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void applyFormat(const QTextCharFormat& format);
    void showColour(const QColor& colour);
    bool saveRtf(const QString& path);
    QString chooseFile(const QString& name, const QString& filters, const QString& suffix);

    std::unique_ptr<ExportHost> m_host;
    std::unique_ptr<Dialogs> m_ownDialogs;
    Dialogs* m_dialogs;
    StepDocument* m_document;
    QString m_path;
    bool m_dirty = false;
    bool m_updating = false;
    FileChooser m_chooseFile;
    FontChooser m_chooseFont;
    ColourChooser m_chooseColour;
};

} // namespace klavoro
