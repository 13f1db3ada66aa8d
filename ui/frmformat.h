#pragma once

#include "describe/phraseformat.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace klavoro {

class Dialogs;
struct Settings;

// "「操作説明」フォーマット設定": the phrase settings, the replacement list and
// the step-number format of the exports, with a preview of a mouse sentence.
// The settings change only on "Ok".
class frmFormat : public QDialog {
    Q_OBJECT
public:
    frmFormat(Settings& settings, Dialogs& dialogs, QWidget* parent = nullptr);

    // The sentence parts: parent name, parent role, element name, element role.
    QCheckBox* chkDspPhrase[4] = {};
    QLabel* lblPhrase[4] = {};
    QLineEdit* txtBrackets[4] = {};
    QLineEdit* txtPhrase2 = nullptr;
    QLineEdit* txtPhrase5 = nullptr;
    QLineEdit* txtPhrase7 = nullptr;
    QLabel* lblVerb = nullptr;
    QCheckBox* chkAbbLeft = nullptr;
    QCheckBox* chkNoShortcut = nullptr;
    QLineEdit* txtPhraseKey0 = nullptr;
    QLineEdit* txtPhraseKey1 = nullptr;
    QListWidget* lstReplace = nullptr;
    QLineEdit* txtReplaceFrom = nullptr;
    QLineEdit* txtReplaceTo = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdEdit = nullptr;
    QComboBox* cmbNoFormat = nullptr;
    QCheckBox* chkNoPeriod = nullptr;
    QCheckBox* chkNoWide = nullptr;
    QLineEdit* txtNoChar = nullptr;
    QComboBox* cmbParagraph = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The replacement entries in list order.
    QStringList replacementEntries() const;
    // The values the controls hold now.
    PhraseFormat controlValues() const;

    void cmdOk_Click();
    void cmdAdd_Click();
    void cmdEdit_Click();
    void lstReplace_Click();
    void removeSelectedEntry();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildMouseGroup();
    QWidget* buildKeyGroup();
    QWidget* buildReplaceGroup();
    QWidget* buildNumberGroup();
    void loadControls();
    void refreshPreview();
    void showNumberOptions();
    bool searchTextMissing();
    void addEntry(const QString& entry);

    Settings& m_settings;
    Dialogs& m_dialogs;
    PhraseFormat m_loaded; // what was loaded: values no control can show stay as they were
};

// Opens the dialog modally over `parent` on the program's settings record;
// true when the user pressed "Ok".
bool openFormatDialog(QWidget* parent);

} // namespace klavoro
