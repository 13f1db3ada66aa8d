#include "app/session/startup.h"

#include "capture/imagelibrary.h"
#include "platform/desktop.h"
#include "platform/instancelock.h"
#include "record/runmode.h"
#include "store/capturefolder.h"
#include "store/conffile.h"
#include "store/confvalue.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/foldercommands.h"
#include "store/logs.h"
#include "store/programfolder.h"
#include "app/session/sessionhost.h"
#include "store/textfile.h"

#include <QDir>
#include <QFileInfo>

#include <exception>

namespace klavoro {

void RunOverrides::apply(const StartOptions& options, Settings& settings) {
    auto force = [](bool given, qint32& field, std::optional<qint32>& original) {
        if (!given) return;
        if (!original) original = field;
        field = 1;
    };
    force(options.mouse, settings.mouseCursor, m_mouseCursor);
    force(options.clipboard, settings.copyToClipboard, m_copyToClipboard);
    force(options.sound, settings.captureSound, m_captureSound);
    force(options.tasktray, settings.tasktray, m_tasktray);
    // Not a file setting at all: the run-only switch of the settings dialog.
    if (options.autoSave) settings.autoSave = 1;
}

Settings RunOverrides::forSaving(const Settings& settings) const {
    Settings s = settings;
    auto restore = [](qint32& field, const std::optional<qint32>& original) {
        if (original && field == 1) field = *original;
    };
    restore(s.mouseCursor, m_mouseCursor);
    restore(s.copyToClipboard, m_copyToClipboard);
    restore(s.captureSound, m_captureSound);
    restore(s.tasktray, m_tasktray);
    return s;
}

QString statusBlockName() {
    const QString name = qEnvironmentVariable("KLAVORO_STATUS_BLOCK");
    return name.isEmpty() ? kStatusBlockName : name;
}

bool refuseSecondInstance(InstanceLock& lock, Dialogs& dialogs) {
    if (lock.acquire()) return false;
    if (!lock.errorText().isEmpty()) {
        // The lock file cannot be used at all: running twice is the lesser harm
        // than not running. The logs are not ours to write yet.
        qWarning("klavoro: %s", qPrintable(lock.errorText()));
        return false;
    }
    dialogs.message(QStringLiteral("既にクラヴォロは起動中です。"), QStringLiteral("二重起動不可"));
    return true;
}

Startup::Startup(SessionHost& host, ConfFile& confFile, SessionState& state,
                 StatusBlock& statusBlock, Desktop* desktop, QString statusName)
    : m_host(host), m_confFile(confFile), m_state(state), m_statusBlock(statusBlock),
      m_desktop(desktop), m_statusName(std::move(statusName)) {}

bool Startup::run(const QString& commandLine) {
    createUserFolders(); // an installed copy's first start has none yet
    writeLog(QString(), true);
    writeExeLog(QString(), true);
    m_host.showWindowHandle();
    QDir::setCurrent(captureBaseFolder());
    if (QFileInfo::exists(shippedFilesFolder() + QStringLiteral("読んでね.txt")))
        m_host.showHintMark();
    createFolderTree(captureBaseFolder() + QStringLiteral("data")); // a failure is mended later

    try {
        openStatusBlock();
        if (!loadSettings()) {
            enterErrorState();
            return false;
        }
        m_host.applySettings();
        applyCommandLine(commandLine);
        m_host.setMenuBarVisible(conf().dispMenu != 0);
        double loadFiles = 0;
        if (leadingNumber(conf().loadFiles, &loadFiles) && loadFiles == 1) m_host.loadList();
        m_host.setWindowEnabled(true);
        m_host.restoreTitle();
        letEventsRun();
        if (m_state.closing) return true; // closed while events ran
        m_host.setButtonsForRunMode();
        showThumbCount();
        checkImageLibrary();
        m_host.layoutThumbnailPanel();
        bool recording = false;
        if (conf().autoStart == 1 || m_state.options.autoStart) {
            const bool ran = m_host.runCommand(QStringLiteral("cmdGo"));
            // The start may also be cancelled at its question. Either way an
            // idle start follows: with "-auto" nothing else shows the window.
            recording = ran && !runMode().isIdle();
            if (!ran) writeLog(QStringLiteral("自動開始: 記録を開始できません"));
        }
        if (!recording) {
            m_host.setButtonsForRunMode();
            m_host.armInputTimer();
            m_host.setWindowVisible(!m_state.options.noVisible);
        }
        FolderCommands(m_host.dialogs(), [this] {
            m_host.loadList();
            m_host.restoreTitle();
        }).checkUnmarkedFolder();
        m_host.relayout();
    } catch (const std::exception& e) {
        writeLog(QStringLiteral("起動処理: ") + QString::fromLocal8Bit(e.what()));
        enterErrorState();
        return false;
    }
    return true;
}

void Startup::openStatusBlock() {
    // Other programs only lose the status; the recording does not need it.
    if (!m_statusBlock.open(m_statusName))
        writeLog(QStringLiteral("状態ブロック「%1」を開けません").arg(m_statusName));
    m_host.publishStatus(QString());
}

bool Startup::loadSettings() {
    const ConfLoadReport report = m_confFile.load(conf());
    m_state.settingsLoaded = true;
    // Each bad line is in log.txt already; the error state points there.
    return !report.readFailed && report.errors.isEmpty();
}

void Startup::applyCommandLine(const QString& commandLine) {
    const QString line = commandLine.trimmed();
    if (line.isEmpty()) {
        m_host.setStartOptions(m_state.options);
        m_host.setWindowVisible(true);
        return;
    }
    m_state.options = parseCommandLine(line);
    const StartOptions& o = m_state.options;
    m_state.overrides.apply(o, conf());
    if (!o.savePath.isEmpty()) setRunTimeCaptureFolder(o.savePath);
    m_host.setStartOptions(o);
    if (o.minimize) m_host.minimizeWindow();
    startWatch();
}

void Startup::startWatch() {
    const WindowId window = m_state.options.hwnd;
    if (window == 0 || !m_desktop) return;
    // Start-up is over long before the window goes: the watch keeps only the host.
    SessionHost& host = m_host;
    m_state.watch = std::make_unique<WindowWatch>(*m_desktop, window, [&host, window] {
        writeLog(QStringLiteral("監視中のウィンドウ %1 が閉じられたので終了します").arg(window));
        runMode().set(kRunEnd);
        host.closeWindow();
    });
    m_state.watch->start();
}

void Startup::showThumbCount() {
    const QDir thumbs(captureFolder() + QStringLiteral("Thumb"));
    int count = 0;
    for (const QFileInfo& f : thumbs.entryInfoList(QDir::Files | QDir::Hidden))
        if (f.suffix().compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0) ++count;
    if (count > 0)
        m_host.showStatus(
            QString::number(count) + QStringLiteral("個の画像がThumbフォルダにあります。"), true);
}

void Startup::checkImageLibrary() {
    const ImageLibraryCheck check = checkImageLibraries();
    if (check.ok) return;
    writeLog(check.errorText());
    m_host.dialogs().message(check.errorText(), QStringLiteral("DLLエラー"));
    m_host.disableCommand(QStringLiteral("mnuSaveNameAs"));
}

void Startup::enterErrorState() {
    m_state.errorState = true;
    m_host.setWindowVisible(true);
    m_host.setWindowEnabled(true);
    m_host.showStatus(QStringLiteral("エラー発生！"), true);
}

} // namespace klavoro
