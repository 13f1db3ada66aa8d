#pragma once

#include "store/settingsedit.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTimer;

namespace klavoro {

class Dialogs;
class SettingPickers;
class frmMyComboBox;

// What the opener hands the settings dialog.
struct SettingHooks {
    // The number of steps in the main window's list now (max cnt may not go below it).
    std::function<int()> recordedSteps;
    // The names of the installed agent characters (may be empty).
    std::function<QStringList()> characterNames;
    // Open the phrase-format dialog and the consistency check, modal over the
    // given window. While one is empty its button is disabled.
    std::function<void(QWidget*)> showFormat;
    std::function<void(QWidget*)> showCheckFile;
};

// "設定": edits the settings record through controls. Nothing is written to
// Conf.txt here. The rules are in SettingsEdit; this shows and reads controls.
class frmSetting : public QDialog {
    Q_OBJECT
public:
    // `dialogs` and `pickers` may be null: message boxes and file dialogs of
    // this window are then used.
    frmSetting(Settings& settings, SettingHooks hooks, Dialogs* dialogs = nullptr,
               SettingPickers* pickers = nullptr, QWidget* parent = nullptr);
    ~frmSetting() override;

    // Set only by an Ok that copied everything.
    bool accepted() const { return m_edit.accepted(); }
    int pageIndex() const { return m_pageIndex; }
    // The screen the size limits refer to, in pixels.
    QSize screenPixels() const;

    void cmdClose_Click(int index); // 0 Ok, 1 Cancel
    // Escape, the window's close button and Cancel: unload without copying.
    void reject() override;
    void cmdPage_Click(int index);

    // --- the controls, by page ---
    std::array<QPushButton*, SettingsPageCount> cmdPage{};
    QStackedWidget* frPages = nullptr;
    std::array<QWidget*, SettingsPageCount> frPage{};

    // キャプチャー
    QLineEdit* txtEdit = nullptr;
    QPushButton* cmdEdit = nullptr;
    QGroupBox* frTarget = nullptr;
    std::array<QRadioButton*, 5> OptTarget{};
    QWidget* frRect = nullptr;    // the area around the pointer
    QWidget* frDesktop = nullptr; // the desktop note and actual size
    QWidget* frMaxSize = nullptr;
    QLabel* lblDesktop = nullptr;
    QCheckBox* chkPlainScale = nullptr;
    std::array<QLineEdit*, 2> txtMaxSize{};
    std::array<QComboBox*, 4> cmbRect{};
    QCheckBox* chkRectPoint = nullptr;
    QWidget* frRectPoint = nullptr;
    QCheckBox* ChkRectPointNoneTogether = nullptr;
    QPushButton* cmdRectPointColor = nullptr;
    QComboBox* cmbRectPointWidth = nullptr;
    QComboBox* cmbRectPointRound = nullptr;
    QCheckBox* chkCaptureTrans = nullptr;
    QCheckBox* chkCaptureSound = nullptr;
    QCheckBox* chkCopyToClipboard = nullptr;
    QCheckBox* chkMouse = nullptr;
    QWidget* frMouse = nullptr;
    std::array<QRadioButton*, 2> OptMouse{}; // 0 実イメージ, 1 固定
    QWidget* frMouseFile = nullptr;
    QPushButton* cmdMouse = nullptr;
    QLabel* picMouse = nullptr;
    QLabel* lblMouse = nullptr;
    QLabel* lblSecret = nullptr;
    QWidget* frSecret = nullptr;
    std::array<QComboBox*, 3> cmbDelay{};
    QCheckBox* chkReduce = nullptr;
    // 個人情報の塗りつぶし
    QGroupBox* frRedact = nullptr;
    QCheckBox* chkRedact = nullptr;
    std::array<QCheckBox*, 4> chkRedactKind{}; // mail, phone, card, individual number
    QPushButton* cmdRedactColor = nullptr;
    QPlainTextEdit* txtRedactWords = nullptr;

    // 保存
    QLineEdit* txtMaxCnt = nullptr;
    QPushButton* cmdDropButton = nullptr;
    QComboBox* cmbSaveFileFormat = nullptr;
    QWidget* frJpgQuality = nullptr;
    QComboBox* cmbSaveJpgQuality = nullptr;
    QCheckBox* ChkAutoSave = nullptr;
    QLineEdit* txtSaveFolderPath = nullptr;
    QPushButton* cmdSaveFolder = nullptr;
    QCheckBox* chkLoadFiles = nullptr;
    std::array<QLineEdit*, 2> txtThumbnail{};
    QCheckBox* chkThumbnailStatic = nullptr;
    frmMyComboBox* dropList = nullptr; // the candidates of txtMaxCnt

    // 操作概要
    QComboBox* cmbPlaySpan = nullptr;
    QComboBox* cmbSpeakName = nullptr;
    QComboBox* cmbSpeakSpeed = nullptr;
    QCheckBox* chkSpeakPhraseBracket = nullptr;
    QLineEdit* txtSpeakStartMsg = nullptr;
    QLineEdit* txtSpeakEndMsg = nullptr;
    QComboBox* cmbAnimeChar = nullptr;
    QComboBox* cmbAnimeFont = nullptr;
    QComboBox* cmbAnimeFontSize = nullptr;
    QPushButton* cmdShowFormat = nullptr;

    // キーボード
    QCheckBox* chkKeyRec = nullptr;
    QCheckBox* chkKeyRecChar = nullptr;
    QCheckBox* chkKeyCapture = nullptr;
    std::array<QComboBox*, 5> cmbHotKey{};
    std::array<QLabel*, 5> lblHotKey1{}; // "Ｃｔｒｌ+Shift+"
    std::array<QLabel*, 5> lblHotKey2{}; // the action
    QCheckBox* chkMCapMouse = nullptr;

    // その他
    QComboBox* cmbHScrollBar = nullptr;
    QCheckBox* chkDispMenu = nullptr;
    QComboBox* cmbMag = nullptr;
    QCheckBox* chkNoProgress = nullptr;
    QCheckBox* chkNoConfirm = nullptr;
    QCheckBox* chkConfirmAppend = nullptr;
    QCheckBox* chkAutoStart = nullptr;
    QCheckBox* chkAutoRestart = nullptr;
    QCheckBox* chkIconBlink = nullptr;
    QCheckBox* chkPopupCounter = nullptr;
    std::array<QCheckBox*, 2> chkState{}; // 最小化, トレイ収納
    QCheckBox* chkDispTop = nullptr;
    QComboBox* cmbTransParent = nullptr;
    QPushButton* cmdFileCheck = nullptr;

    std::array<QPushButton*, 2> cmdClose{}; // Ok, Cancel
    QMenuBar* menuBar = nullptr;
    QAction* mnuClose = nullptr; // acts as Ok

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildCapturePage(QWidget* page);
    void buildSavePage(QWidget* page);
    void buildPlayPage(QWidget* page);
    void buildKeysPage(QWidget* page);
    void buildOtherPage(QWidget* page);
    QWidget* buildRedactFrame(QWidget* page);
    void fillRedactFrame(const SettingsForm& f);
    void readRedactFrame(SettingsForm& f) const;
    void setRedactColour(qint32 bgr);
    void fillCapturePage(const SettingsForm& f);
    void fillSavePage(const SettingsForm& f);
    void fillPlayPage(const SettingsForm& f);
    void fillKeysPage(const SettingsForm& f);
    void fillOtherPage(const SettingsForm& f);
    void readCapturePage(SettingsForm& f) const;
    void readSavePage(SettingsForm& f) const;
    void readPlayPage(SettingsForm& f) const;
    void readKeysPage(SettingsForm& f) const;
    void readOtherPage(SettingsForm& f) const;
    SettingsForm readForm() const;

    // Dependent controls.
    void showTargetPanel();
    void showMouseFrames();
    void showMouseFile(const QString& name);
    void showEditorColour();
    void setRectPointColour(qint32 bgr);
    void cmdEdit_Click();
    void cmdMouse_Click();
    void cmdRectPointColor_Click();
    void cmdSaveFolder_Click();
    void cmdDropButton_Click();
    void cmdFileCheck_Click();
    void cmdShowFormat_Click();

    // Checks run when the focus leaves a control.
    void watchLeave(QWidget* control);
    void onFocusOut(QWidget* control, int reason);
    void runPendingLeave();
    bool checkLeave(QWidget* control);
    void focusControl(QWidget* control);
    std::array<QString, 5> hotKeyTexts() const;
    std::array<QString, 4> rectTexts() const;

    // Typed-key filters.
    void digitsOnly(QWidget* control);
    void pickOnly(QComboBox* box);

    Settings& m_settings;
    SettingHooks m_hooks;
    std::unique_ptr<Dialogs> m_ownDialogs;
    Dialogs* m_dialogs;
    std::unique_ptr<SettingPickers> m_ownPickers;
    SettingPickers* m_pickers;
    SettingsEdit m_edit;
    int m_pageIndex = 0;
    qint32 m_rectPointColour = 0;
    qint32 m_redactColour = 0;
    QTimer* m_focusTimer = nullptr;
    QSet<QObject*> m_leaveChecked;
    QSet<QObject*> m_digits;
    QSet<QObject*> m_pickOnly;
    QHash<QObject*, QString> m_tags; // a size box's text when it got the focus
    QPointer<QWidget> m_pendingLeave;
    bool m_refocusing = false;
};

} // namespace klavoro
