#pragma once

#include "store/oplist.h"
#include "store/startoptions.h"
#include "store/windowplacement.h"
#include "ui/commandmap.h"
#include "ui/mainservices.h"

#include <QImage>
#include <QMainWindow>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class QWidget;

namespace klavoro {

class CommandMap;
class NotificationArea;
class Dialogs;
class ClipboardTimer;
class ImageSizePanel;
class ImageViewer;
class MainMenus;
class Notices;
class StepList;
class ThumbnailStrip;
struct PlatformServices;
struct frmKlavoroUi;

// The main window: a shell over the one step list that composes the views
// (lstRecord, the viewer Pic, the thumbnail strip, the detail panel) and the
// menus. The services it is handed live as long as it does. Each family of
// commands registers its commands in the command map (commandfamilies.cpp)
// and reaches the window through the members below.
class frmKlavoro : public QMainWindow, public OpListHost, public MainWindowPlacement {
    Q_OBJECT
public:
    // Commands that need a platform service the platform lacks stay disabled.
    explicit frmKlavoro(const MainServices& services, QWidget* parent = nullptr);
    ~frmKlavoro() override;

    // --- what the command families use ---
    const MainServices& services() const { return m_services; }
    StepList& steps() { return *m_steps; }
    OperationList& operationList() { return *m_opList; }
    Dialogs& dialogs() { return m_services.dialogs; }
    Notices& notices() { return m_services.notices; }
    CommandMap& commands() { return m_commands; }
    // Never null; its services may be.
    PlatformServices* platform() const { return &m_services.platform; }
    NotificationArea& notificationArea() { return m_services.tray; }
    // The command line's options for this run (set once by start-up).
    const StartOptions& startOptions() const;
    void setStartOptions(const StartOptions& options);

    // 1-based number of the selected step; 0 when none is selected.
    int selectedStepNumber() const;
    // Selects line min(k, count - 1) (0-based) and shows it.
    void selectLine(int k);
    // Empties the list and the viewer and loads the capture folder's OpList.txt.
    void reloadList();
    // Re-reads the selected step's image (after it was changed on disk).
    void refreshImage();
    // Shows the image of step n (0 = the selected step) in the viewer.
    void showStepImage(int n = 0);
    void clearImage();
    // The image currently shown (null when none).
    QImage currentImage() const;
    // Rebuilds the thumbnail tile of step n (0 = all tiles).
    void refreshThumbnails(int n = 0);
    // The first step the thumbnail strip shows, and how many panels fit.
    int stripFirstStep() const;
    void setStripFirstStep(int n);
    int stripPanelCount() const;
    // Freezes or resumes drawing of the whole window during long changes.
    void setRedraw(bool on);

    // The status line, also copied to the shared status block when `publish`.
    void setStatus(const QString& status) override;
    void publishStatus(const QString& status);
    QString statusText() const;
    // The message label: showing a text keeps the previous caption, showing
    // the empty text restores it (in black). `colour` is blue-green-red.
    void showMessage(const QString& text, qint32 colour = 0);
    // Sets the label's caption outright (no store and restore).
    void setMessageCaption(const QString& text, qint32 colour = 0);
    QString messageText() const;
    // The normal title (capture folder and version).
    void restoreTitle();

    // Enables or disables the main buttons as the run mode asks.
    void setButtonsForRunMode();
    // Enables every menu entry that has a command and disables the others.
    void updateCommandStates();
    // Runs a command of the map if it is enabled; false otherwise.
    bool runCommand(const QString& name);

    // Lays the window out again (display mode, splitters, panels).
    void relayout();
    // Applies the display settings (layout keys, top-most, transparency, menus).
    void applySettings();
    // Writes the layout back into the settings record.
    void storeLayoutSettings();

    // --- OpListHost ---
    QString currentStepText() const override;
    void showProgress(const QString& text) override;
    void setCaption(const QString& caption) override;
    void setDetailFields(const Detail& detail) override;
    void selectStep(int n) override;
    void setListScrollMax(int max) override;
    void setImageSizePanelVisible(bool visible) override;
    void setThumbnailPanelVisible(bool visible) override;
    void bringToFront() override;
    // Minimises the window. One not yet mapped is shown and minimised once the
    // window manager has it: its native window exists early, and X11 would
    // map it normal and leave it there.
    void minimiseOnceMapped();
    // Drops a minimise still waiting for the map.
    void cancelPendingMinimise();
    void stepAdded(int n, bool createTile, bool keepStrip) override;

    // --- MainWindowPlacement ---
    QSize screenSize() const override;
    QList<QRect> monitors() const override;
    WindowRect normalRect() const override;
    void placeMainWindow(const WindowRect& rect, qint32 splitterLeft) override;

    // --- controls the other parts read and write ---
    QListView* lstRecord = nullptr;
    ImageViewer* Pic = nullptr;
    ThumbnailStrip* picList = nullptr;
    ImageSizePanel* imageSizePanel() const { return m_sizePanel; }
    QWidget* frImgSize = nullptr; // width slider and its labels
    QWidget* frPicList = nullptr; // the thumbnail panel
    QWidget* frKey = nullptr;     // the key box
    QLineEdit* txtNo = nullptr;
    QLineEdit* txtFileName = nullptr;
    QLineEdit* txtExt = nullptr;
    QLineEdit* txtEvent = nullptr;
    QLineEdit* txtPos = nullptr;
    QLineEdit* txtCtrl = nullptr; // the sentence
    QLineEdit* txtKey = nullptr;  // the key box's text
    QLabel* lblMsg = nullptr;     // the message label
    QLabel* lblStatus = nullptr;  // the status line
    QLabel* lblEvent = nullptr;   // event kind or name
    QLabel* lblWParam = nullptr;  // the message's wParam
    QLabel* lblPoint = nullptr;   // information: point, windows, image size
    QLabel* lblWindow = nullptr;
    QLabel* lblForeground = nullptr;
    QLabel* lblImgSize = nullptr;
    QLabel* lblhWnd = nullptr;
    QLabel* lblHint = nullptr;
    QPushButton* cmdGo = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdPlay = nullptr;
    QPushButton* cmdSetting = nullptr;
    QPushButton* cmdOpenFolder = nullptr;
    QPushButton* cmdChangeFolder = nullptr;

    // The pop-up menus by name: "mnuList" (リスト), "mnuPicList" (the image
    // menu), "mnuThumbList" (the thumbnail strip), "mnuMain" (tray and window).
    QMenu* popupMenu(const QString& name) const;
    // Shows a pop-up menu, or while not idle the message "「停止」して下さい！".
    void showPopupMenu(const QString& name, const QPoint& globalPos);

signals:
    // Before the window saves the list and settings at close; a family that
    // must end something first (recording, playback) can do it here.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void onSelectionChanged();
    void setDisplayMode(int mode);
    void restoreSplitter();
    void connectViews();
    void adjustPlacementToFrame();
    void updateListColours(bool focused);

    const MainServices m_services;
    StepList* m_steps;
    std::unique_ptr<OperationList> m_opList;
    CommandMap m_commands;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<frmKlavoroUi> m_ui;
    ImageSizePanel* m_sizePanel = nullptr;
    ClipboardTimer* m_clipTimer = nullptr;
    StartOptions m_startOptions;
    QString m_storedMessage;
    qint32 m_storedColour = 0;
    bool m_messageStored = false;
    int m_redrawDepth = 0;
    // The frame rectangle asked for before the frame's size was known.
    std::optional<WindowRect> m_placedRect;
    QTimer* m_minimisePoll = nullptr;
    int m_minimiseTries = 0;
};

} // namespace klavoro
