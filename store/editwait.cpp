#include "store/editwait.h"

#include "platform/desktop.h"
#include "platform/shell.h"
#include "store/events.h"
#include "store/pathops.h"
#include "store/settings.h"
#include "store/sjis.h"

#include <QElapsedTimer>

namespace klavoro {

QString editAndWait(const QString& path, int minimumNameLength, Desktop& desktop, Shell& shell,
                    const EditWaitHooks& hooks) {
    LongOperation waiting; // a close waits for the editor
    const QString name = withoutExtension(fileNameOf(path));
    const bool nameLongEnough = halfWidthLength(name) >= minimumNameLength;
    if (nameLongEnough && !desktop.findTopLevelWindows(name).isEmpty())
        return name + QStringLiteral(" が既に開かれています。\r\n\r\n閉じて下さい！");

    shell.open(path);

    QList<WindowId> windows;
    QElapsedTimer t;
    t.start();
    while ((windows = desktop.findTopLevelWindows(name)).isEmpty()) {
        if (t.elapsed() >= 3000) return name + QStringLiteral(" の起動に失敗しました！");
        waitMs(100);
    }
    const WindowId editor = windows.first();
    desktop.setForegroundWindow(editor);
    desktop.setTopMost(editor, true);

    while (nameLongEnough && desktop.windowExists(editor) &&
           !(hooks.escapePressed && hooks.escapePressed()))
        waitMs(50);

    if (hooks.restoreMainWindow) hooks.restoreMainWindow();
    waitMs(100);
    if (hooks.setMainWindowTopMost) {
        hooks.setMainWindowTopMost(true);
        if (conf().dispTop == 0) hooks.setMainWindowTopMost(false);
    }
    waitMs(100);
    return {};
}

} // namespace klavoro
