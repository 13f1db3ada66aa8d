// The capture-folder commands of the main window and the settings-file edit.
#include "platform/desktop.h"
#include "platform/keystate.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "store/capturefolder.h"
#include "store/confedit.h"
#include "store/editwait.h"
#include "store/foldercommands.h"
#include "store/settings.h"
#include "store/steplist.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

#include <memory>

namespace klavoro {

namespace {

void showCaptureFolder(frmKlavoro& w) {
    const QString folder = captureFolder();
    PlatformServices* p = w.platform();
    if (p && p->shell && p->shell->showFolder(folder)) return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        w.setStatus(QStringLiteral("フォルダを開けません：") + folder);
}

// The folder dialog; `allowNewFolder` false hides the button for new folders.
QString askFolder(frmKlavoro& w, const QString& start, bool allowNewFolder) {
    QFileDialog::Options options = QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog;
    if (!allowNewFolder) options |= QFileDialog::ReadOnly;
    return QFileDialog::getExistingDirectory(&w, QStringLiteral("保存先フォルダの変更"), start,
                                             options);
}

} // namespace

void registerFolderCommands(frmKlavoro& w, CommandMap& map, ConfFile& confFile) {
    auto folders = std::make_shared<FolderCommands>(w.dialogs(), [&w] { w.reloadList(); });

    for (const char* name : {"cmdOpenFolder", "mnuShowFolder", "mnuPicListShowFolder"})
        map.add(QString::fromLatin1(name), [&w] { showCaptureFolder(w); });

    auto byButton = [&w, folders](bool allowNewFolder) {
        const QString chosen = askFolder(w, captureFolder(), allowNewFolder);
        if (chosen.isEmpty()) return;
        folders->chooseFolder(chosen, false);
        if (w.steps().count() > 0) w.refreshThumbnails();
    };
    map.add(QStringLiteral("cmdChangeFolder"), [byButton] { byButton(true); });
    map.add(QStringLiteral("cmdChangeFolder_Right"), [byButton] { byButton(false); });
    for (const char* name : {"mnuChangeFolder", "mnuPicListChangeFolder"})
        map.add(QString::fromLatin1(name), [&w, folders] {
            const QString chosen = askFolder(w, captureFolder(), false);
            if (!chosen.isEmpty()) folders->chooseFolder(chosen, true);
        });
    map.add(QStringLiteral("mnuPicListResetFolder"), [folders] { folders->resetToDefault(); });
    for (const char* name : {"mnuChangeNoRectFolder", "mnuListChangeNoRectFolder"})
        map.add(QString::fromLatin1(name), [folders] { folders->switchToUnmarked(); });
    for (const char* name : {"mnuChangeDefaultFolder", "mnuListChangeDefaultFolder"})
        map.add(QString::fromLatin1(name), [folders] { folders->switchBackFromUnmarked(); });
    map.add(QStringLiteral("mnuReload"), [&w] { w.reloadList(); });

    PlatformServices* p = w.platform();
    if (p && p->desktop && p->shell) {
        map.add(QStringLiteral("mnuConfOpen"), [&w, p, &confFile] {
            EditWaitHooks wait;
            wait.escapePressed = [p] {
                return p->keyState && (p->keyState->asyncKeyState(0x1B) & kKeyIsDown);
            };
            wait.restoreMainWindow = [&w] { w.showNormal(); };
            wait.setMainWindowTopMost = [&w](bool on) {
                w.setWindowFlag(Qt::WindowStaysOnTopHint, on);
                w.show();
            };
            ConfEditHooks hooks;
            hooks.minimizeMainWindow = [&w] { w.showMinimized(); };
            hooks.restoreMainWindow = [&w] {
                w.showNormal();
                w.bringToFront();
            };
            hooks.reapplySettings = [&w] {
                w.applySettings();
                w.refreshThumbnails();
            };
            mnuConfOpen(confFile, conf(), *p->desktop, *p->shell, w.dialogs(), wait, hooks);
        });
    }
}

} // namespace klavoro
