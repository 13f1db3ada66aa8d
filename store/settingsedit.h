#pragma once

#include "store/settings.h"

#include <QSize>
#include <QString>

#include <array>

namespace klavoro {

class Dialogs;

// The pages of the settings dialog, by `setting index`.
enum SettingsPage { PageOther = 0, PagePlay, PageSave, PageKeys, PageCapture, SettingsPageCount };

// The settings dialog's controls as values: the text of every box the user
// types into or picks from, the index of option groups and of lists whose
// index is the setting, and the state of check boxes. The form fills its
// controls from this and reads them back into it; the rules live here.
struct SettingsForm {
    int pageIndex = 0;

    // キャプチャー
    QString editorPath;
    int target = 0;
    bool plainScale = false;
    std::array<QString, 2> maxSize; // width, height
    std::array<QString, 4> rect;    // left, top, right, bottom
    bool rectPoint = false;
    bool noRectFile = false;
    qint32 rectPointColor = 0;
    QString rectPointWidth;
    QString rectPointRound;
    bool captureTrans = false;
    bool captureSound = false;
    bool copyToClipboard = false;
    bool mouseCursor = false;
    int mouseOption = 0;
    QString mouseFile;
    std::array<QString, 3> delay;
    bool reduce = false;
    bool redact = false;
    int redactPatterns = 0;
    qint32 redactColor = 0;
    QString redactWords; // one entry per line

    // 保存
    QString maxCnt;
    int saveFileFormat = 0; // bmp, jpg, png, gif
    QString saveJpgQuality;
    bool autoSave = false;
    QString saveFolderPath;
    bool loadFiles = false;
    std::array<QString, 2> thumbnail; // width, height
    bool thumbnailStatic = false;

    // 操作概要
    QString playSpan;
    QString playSpeak;
    QString playSpeakSpeed;
    bool playSpeakPhraseBracket = false;
    QString playSpeakStartMsg;
    QString playSpeakEndMsg;
    QString animeChar;
    QString balloonFont;
    QString balloonFontsize;

    // キーボード
    bool keyRecord = false;
    bool keyRecordChar = false;
    bool keyCapture = false;
    std::array<QString, 5> hotkey;
    bool manualCaptureMouse = false;

    // その他
    int scrollbar = 0;
    bool dispMenu = false;
    QString textMag;
    bool noProgress = false;
    bool noConfirm = false;
    bool confirmAppend = false;
    bool autoStart = false;
    bool autoRestart = false;
    bool iconBlink = false;
    bool popupCounter = false;
    bool minimize = false;
    bool tasktray = false;
    bool dispTop = false;
    QString transparent;

    bool operator==(const SettingsForm&) const = default;
};

// The rules of the settings dialog over the settings record: the control
// values at opening, the checks run when a control is left (each shows its
// message through `dialogs`), and the copy back on Ok.
class SettingsEdit {
public:
    SettingsEdit(Settings& settings, Dialogs& dialogs);

    // The control values for the settings as they are now; remembered, so
    // that Ok copies only what the user changed. A value the controls cannot
    // show exactly (a format code of 7, a switch of 2) thus survives Ok.
    const SettingsForm& open();
    const SettingsForm& opened() const { return m_opened; }

    // Leave checks: false when the focus has to stay in the control.
    // Empty hot-key boxes are never duplicates.
    bool leaveHotKey(const std::array<QString, 5>& boxes, int index);
    // Sets `text` to the cap when it is above it.
    bool leaveMaxCnt(QString& text, int recordedSteps);
    bool leaveJpgQuality(const QString& text);
    bool leaveRect(const std::array<QString, 4>& rect);
    // Width (index 0) or height (1) of the largest capture, in pixels of the
    // screen multiplied by `text mag`.
    bool leaveMaxSize(int index, const QString& text, QSize screen);
    bool leaveThumbnail(int index, const QString& text, QSize screen);

    // Ok: checks the save folder before anything is copied, so that a refused
    // folder leaves every setting as it was; then copies in page order.
    enum class OkResult { Done, BadSaveFolder, BadRedactWord };
    OkResult accept(const SettingsForm& form);
    bool accepted() const { return m_accepted; }
    void cancel() { m_accepted = false; }

private:
    Settings& m_settings;
    Dialogs& m_dialogs;
    SettingsForm m_opened;
    bool m_accepted = false;
};

// "#,###": 15000 gives "15,000".
QString formatMaxCnt(qint32 value);
// The number of a box's text; commas are ignored, no digits give 0.
double numberOfText(const QString& text);

// `save folder path` for the folder box's text on Ok. False when the text
// names no existing folder; `stored` is then untouched. The capture base
// folder and the empty text give the empty setting; any other folder is
// stored relative to the capture base folder, ending in the separator.
bool storedSaveFolder(const QString& text, QString* stored);
// Where the folder dialog starts for the box's text.
QString saveFolderDialogStart(const QString& text);
// The box's text for a folder chosen in the folder dialog: relative to the
// capture base folder, without a trailing separator (the root keeps its own).
QString saveFolderText(const QString& chosen);

// The `mouse file` for a cursor chosen in the file dialog: its file name,
// when it lies in the shipped cursors folder, where captures
// look for it. False for a file anywhere else.
bool mouseFileOf(const QString& chosen, QString* name);

// `editor path` for a chosen program: relative inside the capture base
// folder, absolute elsewhere (a relative path to a system program would break
// when that folder moves).
QString editorPathText(const QString& chosen);
// True when the text names an executable file: resolved against the capture
// base folder, or a bare name found on the search path.
bool isExecutableFile(const QString& text);

} // namespace klavoro
