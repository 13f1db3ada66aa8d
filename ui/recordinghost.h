#pragma once

#include "record/inputtimer.h"
#include "record/recordinghost.h"
#include "record/sounds.h"
#include "store/dialogs.h"

#include <QImage>

#include <functional>

namespace klavoro {

class frmKlavoro;

// The recording's host over the main window's public members.
class WindowRecordingHost : public RecordingHost, public InputTimerHost {
public:
    explicit WindowRecordingHost(frmKlavoro& window);

    // The deletion of every step and its files (the step-editing family's).
    std::function<bool()> deleteAll;
    // The last capture that automatic saving left in the main picture.
    std::function<void(int step)> saveMainPicture;

    // StepHost
    bool isOwnWindow(WindowId topLevel) override;
    void setStatus(const QString& text, qint32 colour = 0) override;
    void publishStatus(const QString& text) override;
    void setCaption(const QString& caption) override;
    void showDetail(const StepDetail& detail) override;
    void showSentence(const QString& sentence) override;
    void showEvent(const QString& kindOrName, quint32 wParam) override;
    void showInformation(QPoint eventPoint, WindowId under, WindowId foreground) override;
    void showCapture(const QImage& image, bool reduce) override;
    void stepCommitted(int n) override;
    void markSaved(int n) override;
    void setCapturing(bool capturing) override;
    void playSound(const QString& fileName) override;
    void showPopupCounter(int next) override;
    Dialogs& dialogs() override { return m_dialogs; }

    // RecordingHost
    void unmarkedFolderCheck() override;
    void relayout() override;
    void setImageSizePanelVisible(bool visible) override;
    int stepNumberField() override;
    bool deleteAllSteps() override;
    void clearForNewList() override;
    void setOutOfTheWay(bool out) override;
    bool isOutOfTheWay() override { return m_out; }
    void minimizeWindow() override;
    void restoreWindow() override;
    void setWindowVisible(bool visible) override;
    bool isWindowVisible() override;
    bool isForeground() override;
    void bringToFront() override;
    NotificationArea& notificationArea() override;
    QString trayTip() override;
    void unloadMainWindow() override;
    void showMessage(const QString& text, qint32 colour) override;
    void setMessageCaption(const QString& text, qint32 colour) override;
    void restoreTitle() override;
    void setRecordingButtons(bool recording) override;
    void showPopup(const QString& text, qint32 colour) override;
    void closePopup() override;
    void showProgress(const QString& text, int ms) override;

    // InputTimerHost
    bool isMainWindowForeground() override;
    int stepCount() override;
    int selectedStep() override;
    void selectStep(int n) override;
    void deleteSelectedStep() override;
    void saveCurrentStepImage() override;

    // How the window was put out of the way ("minimised", "hidden").
    QString outOfTheWayMethod() const { return m_method; }

private:
    // Questions asked while the window is out of the way must be seen.
    class VisibleDialogs : public Dialogs {
    public:
        explicit VisibleDialogs(WindowRecordingHost& host) : m_host(host) {}
        void message(const QString& text, const QString& title) override;
        bool askYesNo(const QString& text, const QString& title, bool defaultYes) override;
        Answer askYesNoCancel(const QString& text, const QString& title,
                              Answer preselected) override;
        bool askOkCancel(const QString& text, const QString& title) override;

    private:
        template <typename F> auto visible(F ask);
        WindowRecordingHost& m_host;
    };

    frmKlavoro& m_w;
    VisibleDialogs m_dialogs;
    StepSounds m_sounds;
    bool m_out = false;
    QString m_method;
};

} // namespace klavoro
